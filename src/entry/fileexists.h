// The file-exists test guarding every deletion: a file counts only when it is longer than zero bytes.
#pragma once

#include <string>

namespace quorvale {

// True when a file exists at the path and is longer than zero bytes; every failure reads as false.
bool FileExists(const std::string& path) noexcept;

} // namespace quorvale

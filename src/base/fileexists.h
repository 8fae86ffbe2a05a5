// The file-exists test guarding every deletion: a file counts only when it is longer than zero bytes.
#pragma once

#include "result.h"

#include <string>

namespace quorvale {

// True when a file exists at the path and is longer than zero bytes; every failure reads as false.
bool FileExists(const std::string& path) noexcept;

// Deletes the file when FileExists says it is there (a zero-byte file stays for the next write
// to replace). Fails with the system's reason when the deletion failed.
Result DeleteIfExists(const std::string& path);

} // namespace quorvale

// The folder that holds the running program, as the system's bytes: a folder name that is not
// valid UTF-8 keeps every byte.
#pragma once

#include <optional>
#include <string>

namespace quorvale {

// From the executable's own path (/proc/self/exe); none when the system cannot tell it.
std::optional<std::string> ProgramFolder();

} // namespace quorvale

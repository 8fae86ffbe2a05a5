// Writing every byte to a descriptor, whatever the system takes at a time.
#pragma once

#include <string_view>

namespace quorvale {

// Writes all of bytes to file, again after an interruption or a short write. Returns 0, or the
// system's error; a write that takes nothing is EIO, so a descriptor that stops taking bytes
// ends the loop instead of spinning on it.
int WriteAll(int file, std::string_view bytes) noexcept;

} // namespace quorvale

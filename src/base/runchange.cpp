#include "runchange.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace quorvale {

std::string NewIdentity()
{
    // random_device reads the kernel's generator on Linux: unique across stations and restarts.
    thread_local std::random_device device;
    std::string text;
    for (int word = 0; word < 4; ++word) {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", static_cast<std::uint32_t>(device()));
        text += hex;
    }
    return text;
}

} // namespace quorvale

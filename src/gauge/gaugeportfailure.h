// Why a gauge's port cannot be opened, in words the user can act on.
#pragma once

#include <string>

namespace quorvale {

// Opens the device as a serial port is opened, to learn the system's reason, and says it: no such
// device, in use, or, for permission, the group the user needs (the device's own, usually "dialout").
// Empty when the device opens after all.
std::string GaugeOpenFailure(const std::string& path);

} // namespace quorvale

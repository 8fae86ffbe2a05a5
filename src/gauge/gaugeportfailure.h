// Why a gauge's port cannot be opened, in words the user can act on.
#pragma once

#include <string>

namespace quorvale {

// What the device's name tells without opening it (which would disturb a device another program
// uses): there is no such device, or the user may not open it and needs its group (usually
// "dialout"). Empty when neither holds.
std::string GaugeOpenFailure(const std::string& path);

} // namespace quorvale

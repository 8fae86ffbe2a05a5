// The line under the grid, worked out from the run as it is now: what its latest reading is against
// the limits, the signals it completes or extends, a short summary, and a Check that is no number.
#pragma once

#include <cstddef>
#include <string>

namespace quorvale {

class RunModel;

// Cpk is named once the run has this many readings: fewer say little about the process.
constexpr std::size_t CpkReadings = 20;

// "Reading 12 (25.013) is above the upper limit 25.010. 12 readings, 1 out of tolerance."; then why
// the readings are deviations where Check is no number, which a run without readings says alone.
std::string RunLineText(const RunModel& run);

} // namespace quorvale

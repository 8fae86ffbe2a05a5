// What the line under the readings grid says the moment a reading is logged: whether it lies
// within its limits, and a shift or trend that it completes or extends.
#pragma once

#include "readingstats.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorvale {

// "Reading 12 (25.013) is above the upper limit 25.010. Shift: readings 7-12 (14:28:11 to 14:28:16)
// above the median."
// number counts from 1; found are the run's signals, the new reading included; times the readings'
// moments, which name the signals.
std::string LoggedReadingNews(std::size_t number, const Decimal& value, const std::optional<ToleranceLimits>& limits,
                              int limitDecimals, const std::vector<RunSignal>& found, const std::vector<Moment>& times);

} // namespace quorvale

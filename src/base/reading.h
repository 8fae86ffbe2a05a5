// One reading of the run: the time of day it was logged and its value as the inspector typed it,
// with the texts they are shown and written as.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

struct Reading {
    int minuteOfDay = 0; // 0 (midnight) to 1439
    std::string value;   // a decimal number with "." as its mark, sign kept as typed

    bool operator==(const Reading&) const = default;
};

// "1:20 PM": the hour without a leading zero, two-digit minutes.
std::string TimeOfDayText(int minuteOfDay);

// "1:20 PM" (AM/PM in either case) or the 24-hour "13:20"; blanks around it are ignored.
std::optional<int> ParseClockTime(std::string_view text);

// The reading as it is kept: an optional sign, digits with at most one decimal mark ("." or ","),
// the mark written as "."; blanks around it are dropped. Nothing when it is no number.
std::optional<std::string> ReadingValueText(std::string_view typed);

// The number a kept reading (or a tolerance typed the same way) stands for.
std::optional<double> ReadingNumber(std::string_view typed);

} // namespace quorvale

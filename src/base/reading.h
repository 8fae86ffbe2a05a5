// One reading of the run: when it was logged (to the second, with the date and the UTC offset of
// where it was logged) and its value as the inspector typed it, with the texts they are shown as.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

struct Reading {
    std::int64_t loggedAt = 0; // seconds since 1970-01-01 UTC
    int utcOffset = 0;         // seconds east of UTC where and when it was logged
    std::string value;         // as kept: optional sign, digits, "." as the decimal mark

    bool operator==(const Reading&) const = default;
};

// Seconds since midnight of the reading's own day, where it was logged.
int SecondOfDay(const Reading& reading);

// The same reading at another time of day (seconds since midnight) on its own day.
Reading AtSecondOfDay(Reading reading, int secondOfDay);

// "14:28:05", as the grid shows it.
std::string TimeOfDayText(const Reading& reading);

// "2026-12-07 14:28:05", as the outputs write it.
std::string DateTimeText(const Reading& reading);

// A time of day typed as "13:20", "13:20:05", "1:20 PM" or "1:20:05 pm"; blanks around it are
// ignored. Seconds since midnight.
std::optional<int> ParseClockTime(std::string_view text);

// The reading as it is kept: an optional sign, digits with at most one decimal mark ("." or ","),
// the mark written as "."; blanks around it are dropped. Nothing when it is no number.
std::optional<std::string> ReadingValueText(std::string_view typed);

// The largest size a reading may have, either way: what the statistics of a run can always hold.
constexpr double LargestReading = 1e9;

// Whether a kept reading lies within ±LargestReading.
bool ReadingInRange(std::string_view kept);

// The number a kept reading (or a tolerance typed the same way) stands for.
std::optional<double> ReadingNumber(std::string_view typed);

} // namespace quorvale

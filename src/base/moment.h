// A moment as the program keeps it: seconds since 1970-01-01 UTC and the UTC offset where it happened,
// so that a run logged in another time zone shows the clock its inspector saw.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

struct Moment {
    std::int64_t at = 0; // seconds since 1970-01-01 00:00 UTC
    int utcOffset = 0;   // seconds east of UTC

    // Now, to the second, with the local offset.
    static Moment now();
    bool operator==(const Moment&) const = default;
};

// ISO 8601 to the second with the offset: "2026-12-07T14:28:05+01:00".
std::string IsoText(Moment moment);

// Seconds since midnight of the moment's own day, where it happened.
int SecondOfDay(Moment moment);

// The same day at another time of day (seconds since midnight).
Moment AtSecondOfDay(Moment moment, int secondOfDay);

// "14:28:05", as the grid shows it.
std::string TimeOfDayText(Moment moment);

// "2026-12-07 14:28:05", as the outputs write it.
std::string DateTimeText(Moment moment);

// A time of day typed as "13:20", "13:20:05", "1:20 PM" or "1:20:05 pm"; blanks around it are
// ignored. Seconds since midnight.
std::optional<int> ParseClockTime(std::string_view text);

} // namespace quorvale

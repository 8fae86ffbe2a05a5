// A moment as the program keeps it: seconds since 1970-01-01 UTC and the UTC offset where it happened,
// so that a run logged in another time zone shows the clock its inspector saw.
#pragma once

#include <cstdint>
#include <string>

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

} // namespace quorvale

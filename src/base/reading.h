// One reading of the run: the moment it was logged (with the UTC offset of where it was logged) and
// its value, parsed once where it entered (keyboard, gauge, store, command) and kept as typed.
#pragma once

#include "decimal.h"
#include "moment.h"

#include <optional>
#include <string_view>

namespace quorvale {

struct Reading {
    Moment loggedAt;
    Decimal value; // empty while it is being typed

    bool operator==(const Reading&) const = default;
};

// The largest size a reading may have, either way: what the statistics of a run can always hold.
constexpr double LargestReading = 1e9;

// Whether a value lies within ±LargestReading.
bool ReadingInRange(const Decimal& value);

// A typed reading as it is kept: a number (as Decimal::parse takes it) within ±LargestReading.
std::optional<Decimal> ReadingValue(std::string_view typed);

} // namespace quorvale

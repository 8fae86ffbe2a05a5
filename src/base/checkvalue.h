// Check as the inspector types it: a number, perhaps with its unit after it ("25.000 mm", "90°",
// "12 %") or a diameter or similar sign before it ("Ø25", "⌀ 25", "R5", "M8").
#pragma once

#include "decimal.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

struct CheckValue {
    Decimal value;
    std::string unit; // as typed, UTF-8; empty without one
};

// A number (as Decimal::parse takes it) after an optional Ø, ⌀, R or M and before an optional unit:
// mm, in, µm, um, °, deg, g, kg, N, Nm or %, or any letters after a blank. Nothing for any other text.
std::optional<CheckValue> CheckValueOf(std::string_view typed);

} // namespace quorvale

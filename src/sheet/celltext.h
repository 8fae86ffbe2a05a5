// Turns cell texts into the values a spreadsheet makes of them when they are typed in:
// "1:20 PM" becomes a fraction of a day, "0.02" a number. Neither depends on the locale.
#pragma once

#include <optional>
#include <string_view>

namespace quorvale {

// "h:mm AM" or "h:mm PM" (hour 1 to 12, two-digit minutes) as a fraction of a day.
std::optional<double> ParseTimeOfDay(std::string_view text);

// A plain decimal number with a point ("0.02", "-1.5"); nothing else around it.
std::optional<double> ParseDecimal(std::string_view text);

} // namespace quorvale

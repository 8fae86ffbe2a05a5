#include "celltext.h"

#include <charconv>
#include <cmath>

namespace quorvale {

namespace {

std::optional<int> parseDigits(std::string_view text)
{
    int value = 0;
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ParseTimeOfDay(std::string_view text)
{
    const auto colon = text.find(':');
    const auto blank = text.find(' ');
    if (colon == std::string_view::npos || blank == std::string_view::npos || blank != colon + 3)
        return std::nullopt;

    const auto hour = parseDigits(text.substr(0, colon));
    const auto minute = parseDigits(text.substr(colon + 1, 2));
    const std::string_view half = text.substr(blank + 1);
    if (!hour || !minute || *hour < 1 || *hour > 12 || *minute > 59 || (half != "AM" && half != "PM"))
        return std::nullopt;

    // 12 AM is midnight and 12 PM is noon.
    const int hour24 = *hour % 12 + (half == "PM" ? 12 : 0);
    return (hour24 * 60 + *minute) / (24.0 * 60.0);
}

std::optional<double> ParseDecimal(std::string_view text)
{
    double value = 0;
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    // from_chars also takes "nan" and "inf", which no one types as a reading.
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace quorvale

#include "reading.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace quorvale {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// One or two digits, as a number; nothing when the text is anything else.
std::optional<int> smallNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 2 || !isDigit(digits.front()) || !isDigit(digits.back()))
        return std::nullopt;
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// The value of a well-formed reading text; nothing when it is too large for a double.
std::optional<double> numberOf(std::string_view text)
{
    // from_chars takes a minus but no plus.
    if (text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::string TimeOfDayText(int minuteOfDay)
{
    const int hour24 = minuteOfDay / 60;
    const int minute = minuteOfDay % 60;
    const int hour12 = hour24 % 12 == 0 ? 12 : hour24 % 12;
    std::string text = std::to_string(hour12) + ':';
    if (minute < 10)
        text += '0';
    return text + std::to_string(minute) + (hour24 < 12 ? " AM" : " PM");
}

std::optional<int> ParseClockTime(std::string_view text)
{
    text = trimmed(text);
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon + 3 > text.size())
        return std::nullopt;
    const auto hour = smallNumber(text.substr(0, colon));
    const auto minute = smallNumber(text.substr(colon + 1, 2));
    if (!hour || !minute || *minute > 59)
        return std::nullopt;

    std::string half(trimmed(text.substr(colon + 3)));
    for (char& c : half)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (half.empty())
        return *hour <= 23 ? std::optional(*hour * 60 + *minute) : std::nullopt;
    if ((half != "AM" && half != "PM") || *hour < 1 || *hour > 12)
        return std::nullopt;
    // 12 AM is midnight and 12 PM is noon.
    return (*hour % 12 + (half == "PM" ? 12 : 0)) * 60 + *minute;
}

std::optional<std::string> ReadingValueText(std::string_view typed)
{
    typed = trimmed(typed);
    std::string text;
    bool digit = false;
    bool mark = false;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        if (isDigit(c)) {
            digit = true;
            text += c;
        } else if ((c == '.' || c == ',') && !mark) {
            mark = true;
            text += '.';
        } else if ((c == '+' || c == '-') && i == 0) {
            text += c;
        } else {
            return std::nullopt;
        }
    }
    if (!digit || !numberOf(text))
        return std::nullopt;
    return text;
}

std::optional<double> ReadingNumber(std::string_view typed)
{
    const auto text = ReadingValueText(typed);
    return text ? numberOf(*text) : std::nullopt;
}

} // namespace quorvale

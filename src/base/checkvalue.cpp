#include "checkvalue.h"

#include <algorithm>
#include <array>

namespace quorvale {

namespace {

constexpr std::array<std::string_view, 4> Signs{"\u00D8", "\u2300", "R", "M"};
constexpr std::array<std::string_view, 11> Units{"mm", "in", "\u00B5m", "um", "\u00B0", "deg",
                                                 "g",  "kg", "N",       "Nm", "%"};
constexpr std::string_view Blanks = " \t";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// An ASCII letter or any character beyond ASCII (a byte of its UTF-8): "mils", "мм".
bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || static_cast<unsigned char>(c) >= 0x80;
}

} // namespace

std::optional<CheckValue> CheckValueOf(std::string_view typed)
{
    typed = trimmed(typed);
    for (const std::string_view sign : Signs) {
        if (typed.starts_with(sign)) {
            typed = trimmed(typed.substr(sign.size()));
            break;
        }
    }
    const std::size_t end = std::min(typed.find_first_not_of("+-0123456789.,"), typed.size());
    const std::optional<Decimal> value = Decimal::parse(typed.substr(0, end));
    if (!value)
        return std::nullopt;
    const std::string_view rest = typed.substr(end);
    const std::string_view unit = trimmed(rest);
    const bool afterBlank = rest.size() > unit.size();
    const bool known = std::find(Units.begin(), Units.end(), unit) != Units.end();
    if (!unit.empty() && !known && !(afterBlank && std::all_of(unit.begin(), unit.end(), isLetter)))
        return std::nullopt;
    return CheckValue{*value, std::string(unit)};
}

} // namespace quorvale

#include "decimal.h"

#include <algorithm>
#include <charconv>

namespace quorvale {

namespace {

__int128 powerOfTen(int exponent)
{
    __int128 power = 1;
    while (exponent-- > 0)
        power *= 10;
    return power;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Found once, where the number is made: the statistics of a long run ask for it again and again.
double nearestDouble(std::string_view text)
{
    // from_chars takes a minus but no plus.
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return value;
}

} // namespace

std::optional<Decimal> Decimal::parse(std::string_view typed)
{
    typed = trimmed(typed);
    Decimal decimal;
    bool negative = false;
    bool mark = false;
    int wholeDigits = 0;
    int digits = 0;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        if (c >= '0' && c <= '9') {
            ++digits;
            decimal.m_units = decimal.m_units * 10 + (c - '0');
            if (mark)
                ++decimal.m_decimals;
            else if (decimal.m_units != 0)
                ++wholeDigits;
            if (wholeDigits > MostDigits || decimal.m_decimals > MostDigits)
                return std::nullopt;
            decimal.m_text += c;
        } else if ((c == '.' || c == ',') && !mark) {
            mark = true;
            decimal.m_text += '.';
        } else if ((c == '+' || c == '-') && i == 0) {
            negative = c == '-';
            decimal.m_text += c;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (negative)
        decimal.m_units = -decimal.m_units;
    decimal.m_number = nearestDouble(decimal.m_text);
    return decimal;
}

Decimal::Decimal(__int128 units, int decimals) : m_units(units), m_decimals(decimals)
{
    unsigned __int128 magnitude = units < 0 ? -static_cast<unsigned __int128>(units) : units;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude != 0);
    if (digits.size() <= static_cast<std::size_t>(decimals))
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    if (decimals > 0)
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    m_text = (units < 0 ? "-" : "") + digits;
    m_number = nearestDouble(m_text);
}

Decimal Decimal::plain() const
{
    return {m_units, m_decimals};
}

Decimal Decimal::operator-() const
{
    return {-m_units, m_decimals};
}

Decimal operator+(const Decimal& a, const Decimal& b)
{
    const int decimals = std::max(a.m_decimals, b.m_decimals);
    return {a.m_units * powerOfTen(decimals - a.m_decimals) + b.m_units * powerOfTen(decimals - b.m_decimals),
            decimals};
}

int Decimal::Compare(const Decimal& a, const Decimal& b)
{
    const int decimals = std::max(a.m_decimals, b.m_decimals);
    const __int128 left = a.m_units * powerOfTen(decimals - a.m_decimals);
    const __int128 right = b.m_units * powerOfTen(decimals - b.m_decimals);
    return left < right ? -1 : left > right ? 1 : 0;
}

std::string Decimal::textWithDecimals(int decimals) const
{
    return decimals > m_decimals ? Decimal(m_units * powerOfTen(decimals - m_decimals), decimals).m_text
                                 : plain().m_text;
}

} // namespace quorvale

// An exact decimal number as the inspector typed it: its digits as a whole number of units of its
// last decimal, its count of decimals and its text as kept. Readings, Check and the tolerances are
// judged in it, so that a reading typed on a limit lies on it, whatever binary floating point would
// make of either; the statistics take its nearest double.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvale {

class Decimal {
public:
    // The most digits kept before and after the decimal mark (leading zeros aside): two such numbers
    // lined up to the finer one, and their sum, still fit the whole number of units.
    static constexpr int MostDigits = 18;

    // No number yet: an empty text that stands for zero.
    Decimal() = default;

    // An optional sign, digits with at most one decimal mark ("." or ","), the mark kept as "."; blanks
    // around it are dropped. Nothing when it is no number or has more than MostDigits on either side.
    static std::optional<Decimal> parse(std::string_view typed);

    // As kept: "+0.020", "25.013", "-3".
    const std::string& text() const { return m_text; }
    bool empty() const { return m_text.empty(); }
    int decimals() const { return m_decimals; }
    // Typed with a sign of its own ("+0.005", "-0.01").
    bool hasSign() const { return !m_text.empty() && (m_text.front() == '+' || m_text.front() == '-'); }
    // The nearest double, for statistics and drawing; never for a judgement.
    double number() const { return m_number; }

    // The same number written plainly: no plus sign, no minus on zero.
    Decimal plain() const;
    Decimal operator-() const;
    // Exact; with the more decimals of the two.
    friend Decimal operator+(const Decimal& a, const Decimal& b);
    // By value: 25.0 and 25.000 are equivalent. (Not <=>: moc cannot read <compare>.)
    friend bool operator<(const Decimal& a, const Decimal& b) { return Compare(a, b) < 0; }
    friend bool operator>(const Decimal& a, const Decimal& b) { return Compare(a, b) > 0; }
    friend bool operator<=(const Decimal& a, const Decimal& b) { return Compare(a, b) <= 0; }
    friend bool operator>=(const Decimal& a, const Decimal& b) { return Compare(a, b) >= 0; }
    // The same text, as kept.
    bool operator==(const Decimal& other) const { return m_text == other.m_text; }

    // Plain, with at least the given count of decimals (zeros added, none taken away).
    std::string textWithDecimals(int decimals) const;

private:
    Decimal(__int128 units, int decimals);
    // Below zero, zero or above zero as a is less than, as much as or more than b.
    static int Compare(const Decimal& a, const Decimal& b);

    __int128 m_units = 0; // the value times 10^m_decimals
    int m_decimals = 0;
    std::string m_text;
    double m_number = 0;
};

} // namespace quorvale

// Readings at the tolerance limits, for thousands of generated Checks and tolerances: a reading typed
// exactly on a limit is within, one unit of its last decimal beyond is out. The limits are worked
// here in whole units of 1e-9, apart from the program's own arithmetic.
#include "readingof.h"
#include "readingstats.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace quorvale {
namespace {

constexpr int Scale = 9;
constexpr std::int64_t Nano = 1'000'000'000;

// units / 10^9 written with exactly `decimals` decimals; the value must have no finer digit.
std::string textOf(std::int64_t units, int decimals)
{
    const bool negative = units < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(units) : units;
    std::string text = std::to_string(magnitude / Nano);
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % Nano);
        fraction.insert(0, Scale - fraction.size(), '0');
        text += '.' + fraction.substr(0, decimals);
    }
    return (negative ? "-" : "") + text;
}

std::int64_t unitOf(int decimals)
{
    std::int64_t unit = 1;
    for (int i = decimals; i < Scale; ++i)
        unit *= 10;
    return unit;
}

struct Case {
    std::int64_t check; // in units of 1e-9
    int checkDecimals;
    std::int64_t tolerance; // above zero
    int toleranceDecimals;
};

// Checks of every size from a few units of the last decimal to near a billion, either sign.
Case generated(std::mt19937_64& random)
{
    std::uniform_int_distribution<int> decimals(0, Scale);
    std::uniform_int_distribution<int> digits(1, 9);
    const auto draw = [&](int places, std::int64_t largest) {
        const std::int64_t unit = unitOf(places);
        std::uniform_int_distribution<std::int64_t> count(0, std::max<std::int64_t>(largest / unit, 1));
        std::int64_t value = count(random) * unit;
        // Small magnitudes as often as large ones.
        for (int cut = digits(random); cut < 9 && value / 10 >= unit; ++cut)
            value = value / 10 / unit * unit;
        return value;
    };
    Case c;
    c.checkDecimals = decimals(random);
    c.toleranceDecimals = decimals(random);
    c.check = draw(c.checkDecimals, 400'000'000 * Nano);
    if (random() % 2)
        c.check = -c.check;
    c.tolerance = std::max(draw(c.toleranceDecimals, 100'000'000 * Nano), unitOf(c.toleranceDecimals));
    return c;
}

TEST(Limits, AReadingOnALimitIsWithinAndOneUnitBeyondIsOut)
{
    std::mt19937_64 random(25);
    for (int i = 0; i < 5000; ++i) {
        const Case c = generated(random);
        RunChartRecord record = DefaultRunChartRecord();
        record.Check = textOf(c.check, c.checkDecimals);
        record.UpperTolerance = "+" + textOf(c.tolerance, c.toleranceDecimals);
        record.LowerTolerance =
            i % 2 ? textOf(c.tolerance, c.toleranceDecimals) : "-" + record.UpperTolerance.substr(1);
        const auto limits = RunLimits(record);
        ASSERT_TRUE(limits) << record.Check;
        const int decimals = std::max(c.checkDecimals, c.toleranceDecimals);
        // Typed with the limit's own decimals, and with every decimal there is.
        for (const int typed : {decimals, Scale}) {
            const std::int64_t unit = unitOf(typed);
            for (const std::int64_t limit : {c.check + c.tolerance, c.check - c.tolerance}) {
                const bool upper = limit > c.check;
                const std::string context = "Check " + record.Check + " tolerance " + record.LowerTolerance +
                                            " reading " + textOf(limit, typed);
                EXPECT_FALSE(limits->outside(DecimalOf(textOf(limit, typed)))) << context;
                EXPECT_TRUE(limits->outside(DecimalOf(textOf(upper ? limit + unit : limit - unit, typed)))) << context;
                EXPECT_FALSE(limits->outside(DecimalOf(textOf(upper ? limit - unit : limit + unit, typed)))) << context;
            }
        }
        EXPECT_EQ(limits->upper.textWithDecimals(decimals), textOf(c.check + c.tolerance, decimals));
    }
}

TEST(Limits, TheCasesBinaryFloatingPointGetsWrong)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = "12.7";
    record.UpperTolerance = "0.1";
    record.LowerTolerance = "0.1";
    EXPECT_FALSE(RunLimits(record)->outside(DecimalOf("12.8")));
    EXPECT_FALSE(RunLimits(record)->outside(DecimalOf("12.6")));
    record.Check = "2.35";
    record.UpperTolerance = "0.05";
    record.LowerTolerance = "0.05";
    EXPECT_FALSE(RunLimits(record)->outside(DecimalOf("2.30")));
    EXPECT_TRUE(RunLimits(record)->outside(DecimalOf("2.299999999")));
    // A reading keeps every digit typed: a billionth beyond the largest Check is still beyond.
    record.Check = "-999999999.999999998";
    record.UpperTolerance = "0.000000001";
    EXPECT_FALSE(RunLimits(record)->outside(DecimalOf("-999999999.999999997")));
    EXPECT_TRUE(RunLimits(record)->outside(DecimalOf("-999999999.999999996")));
}

} // namespace
} // namespace quorvale

// Readings as the inspector types them, and what a run chart makes of them: limits, median, Cpk
// and the shift and trend signals, checked against figures worked out by hand.
#include "reading.h"
#include "readingstats.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace quorvale;

namespace quorvale {
void PrintTo(const RunSignal& signal, std::ostream* out)
{
    *out << (signal.kind == RunSignal::Kind::Shift ? "shift " : "trend ") << signal.first << '-' << signal.last
         << (signal.up ? " up" : " down");
}
bool operator==(const RunSignal& a, const RunSignal& b)
{
    return a.kind == b.kind && a.first == b.first && a.last == b.last && a.up == b.up;
}
} // namespace quorvale

TEST(ReadingText, DatesAndTimesWhereTheReadingWasLogged)
{
    // 2026-12-07 13:28:05 UTC, logged one hour east of UTC.
    const Reading reading{1796650085, 3600, "0.02"};
    EXPECT_EQ(SecondOfDay(reading), 14 * 3600 + 28 * 60 + 5);
    EXPECT_EQ(TimeOfDayText(reading), "14:28:05");
    EXPECT_EQ(DateTimeText(reading), "2026-12-07 14:28:05");
    // West of UTC the same moment is still the day before; times before 1970 count back.
    EXPECT_EQ(DateTimeText({1796601600, -3600, ""}), "2026-12-06 23:00:00");
    EXPECT_EQ(DateTimeText({-1, 0, ""}), "1969-12-31 23:59:59");
    EXPECT_EQ(DateTimeText({951782400, 0, ""}), "2000-02-29 00:00:00");

    // A new time of day keeps the reading's own day, in its own offset.
    const Reading earlier = AtSecondOfDay(reading, 30);
    EXPECT_EQ(DateTimeText(earlier), "2026-12-07 00:00:30");
    EXPECT_EQ(earlier.utcOffset, 3600);
    EXPECT_EQ(earlier.value, "0.02");
    EXPECT_EQ(DateTimeText(AtSecondOfDay(reading, 86399)), "2026-12-07 23:59:59");
}

TEST(ReadingText, ClockTimesInBothForms)
{
    EXPECT_EQ(ParseClockTime("1:20 PM"), (13 * 60 + 20) * 60);
    EXPECT_EQ(ParseClockTime(" 1:20 pm "), (13 * 60 + 20) * 60);
    EXPECT_EQ(ParseClockTime("1:20:07 PM"), (13 * 60 + 20) * 60 + 7);
    EXPECT_EQ(ParseClockTime("12:30 AM"), 30 * 60);
    EXPECT_EQ(ParseClockTime("12:00 PM"), 12 * 3600);
    EXPECT_EQ(ParseClockTime("13:20"), (13 * 60 + 20) * 60);
    EXPECT_EQ(ParseClockTime("14:28:05"), (14 * 60 + 28) * 60 + 5);
    EXPECT_EQ(ParseClockTime("07:05"), (7 * 60 + 5) * 60);
    EXPECT_EQ(ParseClockTime("0:00"), 0);
    EXPECT_EQ(ParseClockTime("23:59:59"), 86399);
    for (const char* text :
         {"", "13", "24:00", "13:20 PM", "0:20 AM", "1:60", "1:2", "1:200", "-1:20", "+1:20", "1:20 XM", "1:20 P",
          "a:20", "1.20", ":20", "13:20:60", "13:20:", "13:20:5", "13:20:05:01"})
        EXPECT_FALSE(ParseClockTime(text)) << '"' << text << '"';
}

TEST(ReadingText, ValuesKeepTheirDigitsAndSignWithAPointAsMark)
{
    EXPECT_EQ(ReadingValueText("0.02"), "0.02");
    EXPECT_EQ(ReadingValueText("0,020"), "0.020");
    EXPECT_EQ(ReadingValueText(" -1,5 "), "-1.5");
    EXPECT_EQ(ReadingValueText("+.5"), "+.5");
    EXPECT_EQ(ReadingValueText("3."), "3.");
    for (const char* text :
         {"", " ", "-", "+", ".", "1.2.3", "1,2.3", "1-2", "--1", "+-1", "1e3", "0x10", "nan", "inf", "1 2", "0.02 mm"})
        EXPECT_FALSE(ReadingValueText(text)) << '"' << text << '"';
    // Too large for any number the workbook can hold.
    EXPECT_FALSE(ReadingValueText(std::string(400, '9')));

    EXPECT_EQ(ReadingNumber("+.5"), 0.5);
    EXPECT_EQ(ReadingNumber("-0,005"), -0.005);
    EXPECT_FALSE(ReadingNumber("abc"));
}

TEST(ReadingStats, LimitsTakeAnUnsignedLowerToleranceAsBelowNominal)
{
    const auto limits = LimitsOf("0.02", "0.02");
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->upper, 0.02);
    EXPECT_EQ(limits->lower, -0.02);
    EXPECT_EQ(LimitsOf("+0.03", "-0.01")->lower, -0.01);
    EXPECT_EQ(LimitsOf("0.03", "+0.01")->lower, 0.01);
    EXPECT_EQ(LimitsOf("0,05", " 0,01")->upper, 0.05);
    EXPECT_FALSE(LimitsOf("0.02", ""));
    EXPECT_FALSE(LimitsOf("two hundredths", "0.02"));

    EXPECT_TRUE(limits->outside(0.021));
    EXPECT_TRUE(limits->outside(-0.021));
    EXPECT_FALSE(limits->outside(0.02));
    EXPECT_FALSE(limits->outside(-0.02));
}

TEST(ReadingStats, MedianOfOddAndEvenCounts)
{
    EXPECT_EQ(Median({5}), 5);
    EXPECT_EQ(Median({3, 1, 2}), 2);
    EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(Median({0.004, -0.006, -0.002, 0.003, 0.009, 0.015, 0.022, 0.011}), (0.004 + 0.009) / 2);
}

TEST(ReadingStats, CpkByHandAndWhenItCannotBeComputed)
{
    // Mean 2, sample deviation 1: min(5 - 2, 2 - (-1)) / 3 = 1; with the upper limit at 3, 1/3.
    const std::vector<double> values{1, 2, 3};
    EXPECT_DOUBLE_EQ(*Cpk(values, ToleranceLimits{5, -1}), 1.0);
    EXPECT_DOUBLE_EQ(*Cpk(values, ToleranceLimits{3, -1}), 1.0 / 3);
    // The worked example: mean 0.007, deviation sqrt(584e-6 / 7), Cpk 0.013 / (3 x 0.0091339).
    const std::vector<double> example{0.004, -0.006, -0.002, 0.003, 0.009, 0.015, 0.022, 0.011};
    EXPECT_NEAR(*Cpk(example, LimitsOf("0.02", "0.02")), 0.013 / (3 * std::sqrt(584e-6 / 7)), 1e-12);

    EXPECT_FALSE(Cpk({1}, ToleranceLimits{5, -1}));
    EXPECT_FALSE(Cpk({0.1, 0.1, 0.1}, ToleranceLimits{5, -1}));
    EXPECT_FALSE(Cpk(values, std::nullopt));
}

TEST(ReadingStats, ShiftsAndTrendsFoundByHand)
{
    // Sorted, the 7th and 8th of the fourteen are both 5: the median. Readings 2-8 lie above it
    // but for reading 4, which sits on it and neither breaks nor counts: six above. From reading 7
    // (9) down to reading 12 (0) each is lower than the one before: six falling.
    const std::vector<double> values{4, 6, 7, 5, 8, 6, 9, 7, 3, 2, 1, 0, 5, 4};
    ASSERT_EQ(Median(values), 5);
    const std::vector<RunSignal> signals = RunSignals(values, 5);
    const std::vector<RunSignal> expected{{RunSignal::Kind::Shift, 2, 8, true}, {RunSignal::Kind::Trend, 7, 12, false}};
    EXPECT_EQ(signals, expected);
    EXPECT_EQ(SignalsText(signals), "Shift: readings 2-8 above the median; Trend: readings 7-12 falling");

    // Five on one side is no shift; four rising steps make a trend, a repeated value breaks one.
    EXPECT_TRUE(RunSignals({1, 1, 1, 1, 1, 9, 9, 9, 9, 9}, 5).empty());
    EXPECT_EQ(RunSignals({9, 1, 2, 3, 4, 5}, 3.5), (std::vector<RunSignal>{{RunSignal::Kind::Trend, 2, 6, true}}));
    EXPECT_TRUE(RunSignals({1, 2, 3, 3, 4, 5}, 3).empty());
    EXPECT_EQ(SignalsText({}), "None");
    EXPECT_EQ(SignalsText({{RunSignal::Kind::Shift, 1, 6, false}}), "Shift: readings 1-6 below the median");
}

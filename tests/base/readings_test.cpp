// Readings as the inspector types them, and what a run chart makes of them: limits, the statistics
// and the shift and trend signals, checked against figures worked out by hand.
#include "reading.h"
#include "readingof.h"
#include "readingstats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace quorvale;

namespace quorvale {
void PrintTo(const RunSignal& signal, std::ostream* out)
{
    *out << SignalsText({signal}) << ' ' << signal.first << '-' << signal.last << (signal.up ? " up" : " down");
}
bool operator==(const RunSignal& a, const RunSignal& b)
{
    return a.kind == b.kind && a.first == b.first && a.last == b.last && a.up == b.up && a.crossings == b.crossings;
}
} // namespace quorvale

namespace {

std::vector<Decimal> decimals(std::initializer_list<const char*> texts)
{
    std::vector<Decimal> values;
    for (const char* text : texts)
        values.push_back(DecimalOf(text));
    return values;
}

ToleranceLimits limitsOf(const char* upper, const char* lower)
{
    return {DecimalOf(upper), DecimalOf(lower)};
}

} // namespace

TEST(ReadingText, DatesAndTimesWhereTheReadingWasLogged)
{
    // 2026-12-07 13:28:05 UTC, logged one hour east of UTC.
    const Moment logged{1796650085, 3600};
    EXPECT_EQ(SecondOfDay(logged), 14 * 3600 + 28 * 60 + 5);
    EXPECT_EQ(TimeOfDayText(logged), "14:28:05");
    EXPECT_EQ(DateTimeText(logged), "2026-12-07 14:28:05");
    // West of UTC the same moment is still the day before; times before 1970 count back.
    EXPECT_EQ(DateTimeText({1796601600, -3600}), "2026-12-06 23:00:00");
    EXPECT_EQ(DateTimeText({-1, 0}), "1969-12-31 23:59:59");
    EXPECT_EQ(DateTimeText({951782400, 0}), "2000-02-29 00:00:00");

    // A new time of day keeps the moment's own day, in its own offset.
    const Moment earlier = AtSecondOfDay(logged, 30);
    EXPECT_EQ(DateTimeText(earlier), "2026-12-07 00:00:30");
    EXPECT_EQ(earlier.utcOffset, 3600);
    EXPECT_EQ(DateTimeText(AtSecondOfDay(logged, 86399)), "2026-12-07 23:59:59");
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
    const auto kept = [](std::string_view typed) { return Decimal::parse(typed).value_or(Decimal()).text(); };
    EXPECT_EQ(kept("0.02"), "0.02");
    EXPECT_EQ(kept("0,020"), "0.020");
    EXPECT_EQ(kept(" -1,5 "), "-1.5");
    EXPECT_EQ(kept("+.5"), "+.5");
    EXPECT_EQ(kept("3."), "3.");
    EXPECT_EQ(DecimalOf("0,020").decimals(), 3);
    EXPECT_EQ(DecimalOf("3.").decimals(), 0);
    for (const char* text :
         {"", " ", "-", "+", ".", "1.2.3", "1,2.3", "1-2", "--1", "+-1", "1e3", "0x10", "nan", "inf", "1 2", "0.02 mm"})
        EXPECT_FALSE(Decimal::parse(text)) << '"' << text << '"';
    // Eighteen digits either side of the mark, leading zeros aside, and no more.
    EXPECT_TRUE(Decimal::parse("000" + std::string(18, '9') + "." + std::string(18, '9')));
    EXPECT_FALSE(Decimal::parse(std::string(19, '9')));
    EXPECT_FALSE(Decimal::parse("0." + std::string(19, '1')));
    // Numbers beyond a billion are numbers but out of a reading's range.
    EXPECT_TRUE(ReadingInRange(DecimalOf("-1000000000")));
    EXPECT_TRUE(ReadingInRange(DecimalOf("+1000000000.0")));
    EXPECT_FALSE(ReadingInRange(DecimalOf("1000000000.000000001")));
    EXPECT_FALSE(ReadingValue("-1000000000.1"));
    EXPECT_EQ(ReadingValue("-999999999.999999999")->text(), "-999999999.999999999");

    EXPECT_EQ(DecimalOf("+.5").number(), 0.5);
    EXPECT_EQ(DecimalOf("-0,005").number(), -0.005);
}

TEST(ReadingText, DecimalsAddAndCompareExactly)
{
    // 12.7 + 0.1 is 12.8 exactly, where binary floating point gives 12.799999999999999.
    EXPECT_EQ((DecimalOf("12.7") + DecimalOf("0.1")).text(), "12.8");
    EXPECT_EQ((DecimalOf("2.35") + -DecimalOf("0.05")).text(), "2.30");
    EXPECT_EQ((DecimalOf("-0.004") + DecimalOf("+0.0040")).text(), "0.0000");
    EXPECT_EQ((DecimalOf("0.5") + DecimalOf("-3")).text(), "-2.5");
    EXPECT_EQ(DecimalOf("-0.000").plain().text(), "0.000");
    EXPECT_EQ(DecimalOf("+.5").plain().text(), "0.5");
    EXPECT_EQ(DecimalOf("25").textWithDecimals(3), "25.000");
    EXPECT_EQ(DecimalOf("25.0105").textWithDecimals(3), "25.0105");
    // Equal by value whatever the decimals; the same reading only with the same text.
    EXPECT_TRUE(DecimalOf("25.0") <= DecimalOf("25.000") && DecimalOf("25.0") >= DecimalOf("25.000"));
    EXPECT_FALSE(DecimalOf("25.0") == DecimalOf("25.000"));
    EXPECT_TRUE(DecimalOf("-0.000000001") < DecimalOf("0"));
    EXPECT_TRUE(DecimalOf(std::string(18, '9')) > DecimalOf("0." + std::string(18, '9')));
}

TEST(ReadingStats, LimitsTakeAnUnsignedLowerToleranceAsBelowNominal)
{
    const auto limits = LimitsOf("0.02", "0.02");
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->upper.text(), "0.02");
    EXPECT_EQ(limits->lower.text(), "-0.02");
    EXPECT_EQ(LimitsOf("+0.03", "-0.01")->upper.text(), "0.03");
    EXPECT_EQ(LimitsOf("+0.03", "-0.01")->lower.text(), "-0.01");
    EXPECT_EQ(LimitsOf("0.03", "+0.01")->lower.text(), "0.01");
    EXPECT_EQ(LimitsOf("0,05", " 0,01")->upper.text(), "0.05");
    EXPECT_FALSE(LimitsOf("0.02", ""));
    EXPECT_FALSE(LimitsOf("two hundredths", "0.02"));

    EXPECT_TRUE(limits->outside(DecimalOf("0.021")));
    EXPECT_TRUE(limits->outside(DecimalOf("-0.021")));
    EXPECT_FALSE(limits->outside(DecimalOf("0.02")));
    EXPECT_FALSE(limits->outside(DecimalOf("-0.020000")));
}

TEST(ReadingStats, MedianOfOddAndEvenCounts)
{
    EXPECT_EQ(Median({5}), 5);
    EXPECT_EQ(Median({3, 1, 2}), 2);
    EXPECT_EQ(Median({4, 1, 3, 2}), 2.5);
    EXPECT_EQ(Median({0.004, -0.006, -0.002, 0.003, 0.009, 0.015, 0.022, 0.011}), (0.004 + 0.009) / 2);
}

TEST(ReadingStats, SizesAroundANumericCheckAndDeviationsOtherwise)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = "25.000";
    record.UpperTolerance = "+0.010";
    record.LowerTolerance = "-0.010";
    ASSERT_TRUE(ReadingsAreSizes(record));
    EXPECT_EQ(RunLimits(record)->upper.text(), "25.010");
    EXPECT_EQ(RunLimits(record)->lower.text(), "24.990");
    // Unsigned, the lower tolerance lies below Check; with a plus, above it.
    record.LowerTolerance = "0.010";
    EXPECT_EQ(RunLimits(record)->lower.text(), "24.990");
    record.LowerTolerance = "+0.005";
    EXPECT_EQ(RunLimits(record)->lower.text(), "25.005");

    // Switched to deviations, or with a Check that is no number, the tolerances are the limits.
    record.ReadingsAreDeviations = true;
    EXPECT_FALSE(ReadingsAreSizes(record));
    EXPECT_EQ(RunLimits(record)->upper.text(), "0.010");
    record.ReadingsAreDeviations = false;
    record.Check = "25 +/- 0.01";
    EXPECT_EQ(RunLimits(record)->lower.text(), "0.005");
}

TEST(ReadingStats, StatisticsByHand)
{
    // Sum 67, mean 67/14. Moving ranges 2 1 2 3 2 3 2 4 1 1 1 5 1: 28/13, sigma within 28/13/1.128.
    // Squares 411 - 67^2/14 = 90.357, sigma overall sqrt(90.357/13) = 2.6364. Limits 10 and -1:
    // Cp 11/(6 x 1.9094) = 0.9601, Cpk (67/14 + 1)/(3 x 1.9094) = 0.9103, Pp 0.6954, Ppk 0.6593.
    const std::vector<Decimal> values =
        decimals({"4", "6", "7", "5", "8", "6", "9", "7", "3", "2", "1", "0", "5", "4"});
    const RunStatistics s = StatisticsOf(values, limitsOf("10", "-1"));
    EXPECT_EQ(s.readings, 14u);
    EXPECT_EQ(s.outOfTolerance, 0u);
    EXPECT_DOUBLE_EQ(*s.mean, 67.0 / 14);
    EXPECT_EQ(*s.median, 5);
    EXPECT_DOUBLE_EQ(*s.sigmaWithin, 28.0 / 13 / 1.128);
    EXPECT_NEAR(*s.sigmaOverall, std::sqrt((411 - 67.0 * 67 / 14) / 13), 1e-12);
    EXPECT_NEAR(*s.cp, 0.96014, 5e-6);
    EXPECT_NEAR(*s.cpk, 0.91027, 5e-6);
    EXPECT_NEAR(*s.pp, 0.69540, 5e-6);
    EXPECT_NEAR(*s.ppk, 0.65927, 5e-6);
    EXPECT_EQ(s.runSignals.size(), 2u);
    // Bissell: Cpk 0.91027 ± 1.96 sqrt(1/126 + 0.91027² / 26) = ± 0.39104; Ppk 0.65927 ± 0.30775.
    EXPECT_NEAR(s.cpkInterval->low, 0.51922, 5e-5);
    EXPECT_NEAR(s.cpkInterval->high, 1.30131, 5e-5);
    EXPECT_NEAR(s.ppkInterval->low, 0.35152, 5e-5);
    EXPECT_NEAR(s.ppkInterval->high, 0.96702, 5e-5);
    // Within, 10 lies 2.7308 sigmas above the mean and -1 3.0301 below: tails 0.0031591 and 0.0012225.
    // Overall 1.9778 and 2.1946 sigmas: 0.023975 and 0.014099.
    EXPECT_NEAR(*s.ppmWithin, 4381.6, 0.05);
    EXPECT_NEAR(*s.ppmOverall, 38072.5, 0.05);
    // 67/14 ± 2.66 x 28/13: no reading lies beyond -0.94352 or 10.51495.
    EXPECT_NEAR(*s.upperNatural, 10.514945, 5e-7);
    EXPECT_NEAR(*s.lowerNatural, -0.943516, 5e-7);

    const std::vector<SummaryLine> lines = SummaryLines(s, 0);
    std::vector<std::string> texts;
    for (const SummaryLine& line : lines)
        texts.push_back(std::string(line.label) + " : " + line.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Readings : 14", "Out of tolerance : 0", "Mean : 4.79", "Median : 5.0",
                                               "Sigma (within) : 1.91", "Sigma (overall) : 2.64", "Cp : 0.96",
                                               "Cpk : 0.91", "Pp : 0.70", "Ppk : 0.66",
                                               "Signals : Shift: readings 2-8 above the median; Trend: readings "
                                               "7-12 falling",
                                               "Capability note : (fewer than 25 readings: a rough guide)",
                                               "Cpk 95% interval : 0.52 to 1.30", "Ppk 95% interval : 0.35 to 0.97",
                                               "Expected ppm (within) : 4381.60", "Expected ppm (overall) : 38072.49",
                                               "UNPL : 10.51", "LNPL : -0.94"}));

    // Without limits nothing is out of tolerance and there are no indices; one reading has no sigma.
    const RunStatistics unlimited = StatisticsOf(values, std::nullopt);
    EXPECT_FALSE(unlimited.outOfTolerance || unlimited.cp || unlimited.cpk || unlimited.pp || unlimited.ppk);
    const RunStatistics one = StatisticsOf(decimals({"0.01"}), limitsOf("0.02", "-0.02"));
    EXPECT_EQ(*one.mean, 0.01);
    EXPECT_FALSE(one.sigmaWithin || one.sigmaOverall || one.cpk || one.ppk);
    EXPECT_EQ(SummaryLines(one, 2)[7].text, "");
}

TEST(ReadingStats, CapabilityFromIdenticalOrFewReadings)
{
    // Three times 0.1 sums to 0.30000000000000004: no spread all the same, so no index, no interval and
    // no ppm (rather than a figure in the quadrillions), with the reason; the natural limits close on it.
    const RunStatistics same = StatisticsOf(decimals({"0.1", "0.10", "0.1"}), limitsOf("5", "-1"));
    EXPECT_TRUE(same.identical);
    EXPECT_EQ(*same.mean, 0.1);
    EXPECT_EQ(*same.sigmaOverall, 0);
    EXPECT_FALSE(same.cp || same.cpk || same.pp || same.ppk || same.cpkInterval || same.ppmWithin || same.ppmOverall);
    EXPECT_EQ(*same.upperNatural, 0.1);
    EXPECT_EQ(*same.lowerNatural, 0.1);
    EXPECT_TRUE(same.runSignals.empty());
    EXPECT_EQ(SummaryLines(same, 2)[11].text, "none: every reading is the same, so there is no spread to judge");
    // Without limits there is nothing to judge and nothing to say.
    EXPECT_EQ(SummaryLines(StatisticsOf(decimals({"0.1", "0.1"}), std::nullopt), 2)[11].text, "");

    // From 25 readings the indices need no warning: 0 1 0 1 ..., mean 12/25, moving range 1.
    std::vector<Decimal> alternating;
    for (int i = 0; i < 25; ++i)
        alternating.push_back(DecimalOf(i % 2 ? "1" : "0"));
    const RunStatistics enough = StatisticsOf(alternating, limitsOf("4", "-3"));
    EXPECT_FALSE(enough.identical);
    EXPECT_EQ(SummaryLines(enough, 0)[11].text, "");
    // 0.48 ± 2.66: neither 0 nor 1 lies beyond; 24 readings are a rough guide.
    EXPECT_NEAR(*enough.upperNatural, 3.14, 1e-12);
    EXPECT_TRUE(std::none_of(enough.runSignals.begin(), enough.runSignals.end(),
                             [](const RunSignal& signal) { return signal.kind == RunSignal::Kind::Beyond; }));
    alternating.pop_back();
    EXPECT_EQ(SummaryLines(StatisticsOf(alternating, limitsOf("4", "-3")), 0)[11].text,
              "(fewer than 25 readings: a rough guide)");
    EXPECT_FALSE(IndexInterval(1.33, 1));
}

TEST(ReadingStats, AReadingBeyondTheNaturalProcessLimitsIsASignal)
{
    // Nine steady readings and one far off: mean 1.2, moving ranges 0 x 8 and 9, one on average: limits
    // 1.2 ± 2.66, so 9.3 lies above 3.86. Far off the other way it lies below; two far off in a row
    // make one signal.
    std::vector<Decimal> values(9, DecimalOf("0.3"));
    values.push_back(DecimalOf("9.3"));
    const RunStatistics high = StatisticsOf(values, std::nullopt);
    EXPECT_NEAR(*high.upperNatural, 3.86, 1e-12);
    EXPECT_NEAR(*high.lowerNatural, -1.46, 1e-12);
    EXPECT_EQ(high.runSignals, (std::vector<RunSignal>{{RunSignal::Kind::Beyond, 10, 10, true}}));
    EXPECT_EQ(SignalsText(high.runSignals), "Beyond UNPL: reading 10");
    values.back() = DecimalOf("-8.7");
    EXPECT_EQ(SignalsText(StatisticsOf(values, std::nullopt).runSignals), "Beyond LNPL: reading 10");
    EXPECT_EQ(BeyondSignals({0, 5, 6, -5, 0}, 1, -1),
              (std::vector<RunSignal>{{RunSignal::Kind::Beyond, 2, 3, true}, {RunSignal::Kind::Beyond, 4, 4, false}}));
    EXPECT_EQ(SignalsText(BeyondSignals({5, 6}, 1, -1)), "Beyond UNPL: readings 1-2");
}

TEST(ReadingStats, TheSizesCaseOfAGaugeAroundCheck)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = "25.000";
    record.UpperTolerance = "+0.010";
    record.LowerTolerance = "-0.010";
    const auto limits = RunLimits(record);
    const std::vector<Decimal> values =
        decimals({"25.002", "25.004", "24.998", "25.006", "25.001", "25.003", "25.008", "25.005", "25.009", "25.013"});
    const RunStatistics s = StatisticsOf(values, limits);
    // Only 25.013 lies outside 24.990 to 25.010. Mean 25.0049; moving ranges sum to 0.039 over 9.
    EXPECT_EQ(s.outOfTolerance, 1u);
    EXPECT_NEAR(*s.mean, 25.0049, 1e-12);
    EXPECT_NEAR(*s.median, 25.0045, 1e-12);
    EXPECT_NEAR(*s.sigmaWithin, 0.039 / 9 / 1.128, 1e-12);
    EXPECT_NEAR(*s.cp, 0.020 / (6 * 0.039 / 9 / 1.128), 1e-9);
    EXPECT_NEAR(*s.cpk, (25.010 - 25.0049) / (3 * 0.039 / 9 / 1.128), 1e-9);
    const std::vector<SummaryLine> lines = SummaryLines(s, MostDecimals(decimals({"25.002", "25.01"})));
    EXPECT_EQ(lines[2].text, "25.00490");
    EXPECT_EQ(lines[3].text, "25.0045");
    EXPECT_EQ(lines[7].text, "0.44");
}

TEST(ReadingStats, ExtremeValuesGiveNoInfinityAndNoNaN)
{
    const auto allFinite = [](const RunStatistics& s) {
        for (const auto& figure : {s.mean, s.median, s.sigmaWithin, s.sigmaOverall, s.cp, s.cpk, s.pp, s.ppk})
            if (figure && !std::isfinite(*figure))
                return false;
        return true;
    };
    // The midpoint of two huge values, not infinity.
    const double huge = 1.7e308;
    EXPECT_EQ(Median({huge, huge}), huge);
    // The largest decimals, spread over their whole range: every figure is a number.
    const std::string largest(Decimal::MostDigits, '9');
    const RunStatistics wide =
        StatisticsOf(decimals({largest.c_str(), ("-" + largest).c_str(), largest.c_str()}), limitsOf("1", "-1"));
    EXPECT_TRUE(wide.sigmaWithin && wide.cpk && wide.ppk);
    EXPECT_EQ(wide.outOfTolerance, 3u);
    EXPECT_TRUE(allFinite(wide));
    // The largest readings the grid takes, with tiny limits: every figure is a number.
    const RunStatistics large =
        StatisticsOf(decimals({"1000000000", "-1000000000", "1000000000"}), limitsOf("0.000000001", "-0.000000001"));
    EXPECT_TRUE(large.cpk && large.ppk);
    EXPECT_TRUE(allFinite(large));
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

    // At most twenty listed, then how many more.
    const std::vector<RunSignal> many(23, {RunSignal::Kind::Trend, 1, 5, true});
    const std::string text = SignalsText(many);
    EXPECT_TRUE(text.ends_with("Trend: readings 1-5 rising; and 3 more")) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), ';'), 20);
}

TEST(ReadingStats, AnhojsLimitsAreThePublishedCriticalValues)
{
    // The longest run and the fewest crossings expected by chance for n readings off the median, as
    // Anhøj and Olesen tabulate them: round(log2(n) + 3) and the 5% point of Binomial(n - 1, 0.5).
    const struct {
        std::size_t n, longest, fewest;
    } table[] = {{10, 6, 2}, {11, 6, 2}, {12, 7, 3}, {14, 7, 4},  {17, 7, 5},  {19, 7, 6},  {20, 7, 6},
                 {22, 7, 7}, {23, 8, 7}, {24, 8, 8}, {30, 8, 10}, {40, 8, 14}, {50, 9, 19}, {100, 10, 41}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.n);
        EXPECT_EQ(LongestRunExpected(row.n), row.longest);
        EXPECT_EQ(FewestCrossingsExpected(row.n), row.fewest);
    }
    // A hundred thousand readings: 49999.5 - 1.645 x 158.1 crossings, worked without underflow.
    const std::size_t many = FewestCrossingsExpected(100000);
    EXPECT_GE(many, 49735u);
    EXPECT_LE(many, 49745u);
}

TEST(ReadingStats, AnhojsRulesFindLongRunsAndFewCrossings)
{
    using Kind = RunSignal::Kind;
    // 24 readings, median 2: nine above it, then fifteen alternating. The run of nine is longer than
    // the eight chance allows; fifteen crossings are more than the eight at least expected.
    std::vector<double> values(9, 3);
    for (int i = 0; i < 15; ++i)
        values.push_back(i % 2 ? 3 : 1);
    EXPECT_EQ(RunSignals(values, 2, RunRules::Anhoj), (std::vector<RunSignal>{{Kind::LongRun, 1, 9, true}}));
    // A run of eight is none; the default rules see it as a shift.
    values[0] = 1;
    EXPECT_TRUE(RunSignals(values, 2, RunRules::Anhoj).empty());
    EXPECT_EQ(RunSignals(values, 2).front(), (RunSignal{Kind::Shift, 2, 9, true}));

    // 20 readings in runs of five: three crossings, fewer than six.
    std::vector<double> slow;
    for (int i = 0; i < 20; ++i)
        slow.push_back((i / 5) % 2 ? 1 : 3);
    const std::vector<RunSignal> few = RunSignals(slow, 2, RunRules::Anhoj);
    ASSERT_EQ(few.size(), 1u);
    EXPECT_EQ(few[0].kind, Kind::FewCrossings);
    EXPECT_EQ(few[0].crossings, 3u);
    EXPECT_EQ(SignalsText(few), "Few crossings: readings 1-20 cross the median 3 times");
    // Runs of three and a last of two: six crossings, as many as expected.
    std::vector<double> enough;
    for (int i = 0; i < 20; ++i)
        enough.push_back((i / 3) % 2 ? 1 : 3);
    EXPECT_TRUE(RunSignals(enough, 2, RunRules::Anhoj).empty());

    // A reading on the median neither breaks a run nor counts: ten off it allow runs of six, and
    // readings 1-8 hold seven above it.
    const std::vector<double> onMedian{3, 3, 3, 3, 2, 3, 3, 3, 1, 3, 1};
    EXPECT_EQ(RunSignals(onMedian, 2, RunRules::Anhoj), (std::vector<RunSignal>{{Kind::LongRun, 1, 8, true}}));
    EXPECT_EQ(SignalsText(RunSignals(onMedian, 2, RunRules::Anhoj)), "Long run: readings 1-8 above the median");
    // The run's statistics follow its choice. Twelve 3s and twelve 1s, median 2: readings 2-9 above it
    // are a shift by default; by Anhøj's rules a run of eight among 24 is none, and nine crossings are
    // enough. The moving ranges, 2 at each of the nine crossings, keep every reading within 2 ± 2.08.
    std::vector<Decimal> typed;
    for (const char side : std::string("LHHHHHHHHLLLHLLLHLLLHLLH"))
        typed.push_back(DecimalOf(side == 'H' ? "3" : "1"));
    EXPECT_EQ(StatisticsOf(typed, std::nullopt).runSignals.size(), 1u);
    EXPECT_TRUE(StatisticsOf(typed, std::nullopt, RunRules::Anhoj).runSignals.empty());
}

TEST(ReadingStats, SignalsNameTheirReadingsTimes)
{
    // One a minute from 14:28:05, an hour east of UTC; the last two a day later.
    std::vector<Moment> times;
    for (int i = 0; i < 8; ++i)
        times.push_back({1796650085 + 60 * i + (i >= 6 ? 86400 : 0), 3600});
    EXPECT_EQ(SignalsText({{RunSignal::Kind::Shift, 1, 6, false}}, times),
              "Shift: readings 1-6 (14:28:05 to 14:33:05) below the median");
    EXPECT_EQ(SignalsText({{RunSignal::Kind::Trend, 3, 7, true}}, times),
              "Trend: readings 3-7 (2026-12-07 14:30:05 to 2026-12-08 14:34:05) rising");
    EXPECT_EQ(SignalsText({{RunSignal::Kind::Beyond, 8, 8, true}}, times), "Beyond UNPL: reading 8 (14:35:05)");
    // A signal past the moments given names its numbers alone.
    EXPECT_EQ(SignalsText({{RunSignal::Kind::Beyond, 9, 9, false}}, times), "Beyond LNPL: reading 9");
}

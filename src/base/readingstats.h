// What a run chart tells about its readings: the tolerance limits, the statistics quality engineers
// read (mean, median, sigma within and overall, Cp, Cpk, Pp, Ppk with their intervals, the expected
// parts per million outside the limits, the natural process limits) and the run signals (a shift to
// one side of the median, a trend up or down, a reading beyond a natural process limit). Nothing here
// overflows: a figure that cannot be computed as a finite number is left out.
#pragma once

#include "capability.h"
#include "runchartrecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorvale {

// Judged in decimal: a reading equal to a limit is within it.
struct ToleranceLimits {
    Decimal upper;
    Decimal lower;

    bool above(const Decimal& value) const { return value > upper; }
    bool below(const Decimal& value) const { return value < lower; }
    bool outside(const Decimal& value) const { return above(value) || below(value); }
};

// The tolerances as deviations from Check, when both are numbers. A lower tolerance without a sign
// lies below it: "0.02" gives -0.02, "+0.005" gives +0.005.
std::optional<ToleranceLimits> LimitsOf(const std::string& upperTolerance, const std::string& lowerTolerance);

// Readings are sizes when Check is a number (with its unit or sign, see checkvalue.h) and the run is
// not switched to deviations.
bool ReadingsAreSizes(const RunChartRecord& record);

// The limits the run's readings are judged by: Check plus the tolerances for sizes, the tolerances
// themselves for deviations. Nothing without numeric tolerances.
std::optional<ToleranceLimits> RunLimits(const RunChartRecord& record);

// How many decimals the limits are shown with: the most of Check (for sizes) and the tolerances.
int LimitDecimals(const RunChartRecord& record);

// The middle value, or the midpoint of the two middle ones; values must not be empty.
double Median(std::vector<double> values);

struct RunSignal {
    enum class Kind { Shift, Trend, Beyond, LongRun, FewCrossings };
    Kind kind;
    std::size_t first; // reading numbers, counted from 1
    std::size_t last;
    bool up; // above the median (a shift, a long run), a rising trend, or above the upper natural limit
    std::size_t crossings = 0; // of the median, for few crossings
};

// With the default rules, shifts: six or more readings in a row on one side of the median (readings
// on the median neither break nor count), and trends: five or more readings in a row, each higher
// (or each lower) than the one before. With Anhøj's, each run longer than round(log2(n) + 3) and, for
// the whole run, fewer crossings than the 5% point of Binomial(n - 1, 0.5). In the order they start.
std::vector<RunSignal> RunSignals(const std::vector<double>& values, double median,
                                  RunRules rules = RunRules::ShiftAndTrend);

// Anhøj's limits for n readings off the median: the longest run expected by chance, and the fewest
// crossings (the smallest k with P(X <= k) >= 0.05 for X ~ Binomial(n - 1, 0.5)).
std::size_t LongestRunExpected(std::size_t n);
std::size_t FewestCrossingsExpected(std::size_t n);

// The readings above upper or below lower, one signal for each row of them on one side.
std::vector<RunSignal> BeyondSignals(const std::vector<double>& values, double upper, double lower);

// "Shift: readings 3-9 (14:28:07 to 14:28:13) above the median; Trend: readings 10-14 (14:28:14 to
// 14:28:18) rising; Beyond UNPL: reading 15 (14:28:19)", at most 20 of them and then "and 7 more";
// "None" without any. times are the readings' moments in the order logged; without them (or too few)
// the numbers stand alone.
std::string SignalsText(const std::vector<RunSignal>& found, const std::vector<Moment>& times = {});

struct RunStatistics {
    std::size_t readings = 0;
    std::optional<std::size_t> outOfTolerance; // only with limits
    std::optional<double> mean;
    std::optional<double> median;
    std::optional<double> sigmaWithin;  // mean moving range / 1.128
    std::optional<double> sigmaOverall; // sample standard deviation
    std::optional<double> cp;
    std::optional<double> cpk;
    std::optional<double> pp;
    std::optional<double> ppk;
    std::vector<RunSignal> runSignals;
    std::optional<Interval> cpkInterval; // 95%
    std::optional<Interval> ppkInterval;
    std::optional<double> ppmWithin; // expected parts per million outside the limits
    std::optional<double> ppmOverall;
    std::optional<double> upperNatural; // the natural process limits: mean ± 2.66 x mean moving range
    std::optional<double> lowerNatural;
    // Two or more readings, all the same: without spread there is no capability to tell.
    bool identical = false;
};

// The values as numbers, for the statistics.
std::vector<double> NumbersOf(const std::vector<Decimal>& values);

RunStatistics StatisticsOf(const std::vector<Decimal>& values, const std::optional<ToleranceLimits>& limits,
                           RunRules rules = RunRules::ShiftAndTrend);

// One line of the summary: its label, its number where it has one, and its text ("" when it could
// not be computed). In the order the outputs list them, the signals last.
struct SummaryLine {
    const char* label;
    std::optional<double> value;
    std::string text;
    bool isIndex = false; // Cp, Cpk, Pp, Ppk: shown with two decimals
};

// decimals: the most decimals of any reading, so that the figures in the readings' unit show a
// little more than the readings do.
// times: the readings' moments, which name the signals.
std::vector<SummaryLine> SummaryLines(const RunStatistics& statistics, int decimals,
                                      const std::vector<Moment>& times = {});

// The readings' moments, in the order logged.
std::vector<Moment> MomentsOf(const std::vector<Reading>& readings);

// The readings' values, in the order logged.
std::vector<Decimal> ValuesOf(const std::vector<Reading>& readings);

// The most digits after the decimal mark among the values.
int MostDecimals(const std::vector<Decimal>& values);

// A number with a point and a fixed count of decimals, whatever the locale.
std::string FixedText(double value, int decimals);

} // namespace quorvale

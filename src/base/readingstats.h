// What a run chart tells about its readings: the tolerance limits, the median, Cpk and the run
// signals (a shift to one side of the median, a trend up or down).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quorvale {

struct ToleranceLimits {
    double upper;
    double lower;

    bool outside(double value) const { return value > upper || value < lower; }
};

// The limits when both tolerances are numbers. A lower tolerance without a sign lies below
// nominal: "0.02" gives -0.02.
std::optional<ToleranceLimits> LimitsOf(const std::string& upperTolerance, const std::string& lowerTolerance);

// The middle value, or the mean of the two middle ones; values must not be empty.
double Median(std::vector<double> values);

// min(upper - mean, mean - lower) / (3 x sample standard deviation); nothing with fewer than two
// values, values without spread, or no limits.
std::optional<double> Cpk(const std::vector<double>& values, const std::optional<ToleranceLimits>& limits);

struct RunSignal {
    enum class Kind { Shift, Trend };
    Kind kind;
    std::size_t first; // reading numbers, counted from 1
    std::size_t last;
    bool up; // a shift above the median, or a rising trend
};

// Shifts: six or more readings in a row on one side of the median (readings on the median neither
// break nor count). Trends: five or more readings in a row, each higher (or each lower) than the
// one before. In the order they start.
std::vector<RunSignal> RunSignals(const std::vector<double>& values, double median);

// "Shift: readings 3-9 above the median; Trend: readings 10-14 rising", or "None".
std::string SignalsText(const std::vector<RunSignal>& signals);

} // namespace quorvale

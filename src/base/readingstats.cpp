#include "readingstats.h"

#include "checkvalue.h"
#include "reading.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quorvale {

namespace {

constexpr std::size_t ShiftLength = 6;
constexpr std::size_t TrendLength = 5;
constexpr std::size_t ListedSignals = 20;
// d2 for moving ranges of two: the mean moving range over sigma.
constexpr double MovingRangeFactor = 1.128;
// 3 / d2: the natural process limits lie this many mean moving ranges either side of the mean.
constexpr double NaturalLimitFactor = 2.66;

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

// value / (k x sigma), when that is a finite number.
std::optional<double> index(double value, double k, const std::optional<double>& sigma)
{
    if (!sigma || *sigma <= 0)
        return std::nullopt;
    return finite(value / (k * *sigma));
}

// What to make of the indices, where the run has limits: nothing from readings that do not vary, a
// rough guide from few.
std::string capabilityNote(const RunStatistics& s)
{
    if (!s.outOfTolerance)
        return {};
    if (s.identical)
        return "none: every reading is the same, so there is no spread to judge";
    if (!s.cpk || s.readings >= CapabilityReadings)
        return {};
    return "(fewer than " + std::to_string(CapabilityReadings) + " readings: a rough guide)";
}

std::string intervalText(const std::optional<Interval>& interval)
{
    return interval ? FixedText(interval->low, 2) + " to " + FixedText(interval->high, 2) : std::string();
}

void addShifts(const std::vector<double>& values, double median, std::vector<RunSignal>& signals)
{
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t count = 0;
    int side = 0;
    const auto close = [&] {
        if (count >= ShiftLength)
            signals.push_back({RunSignal::Kind::Shift, first + 1, last + 1, side > 0});
    };
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int here = values[i] > median ? 1 : values[i] < median ? -1 : 0;
        if (here == 0)
            continue;
        if (here != side) {
            close();
            side = here;
            first = i;
            count = 0;
        }
        last = i;
        ++count;
    }
    close();
}

void addTrends(const std::vector<double>& values, std::vector<RunSignal>& signals)
{
    std::size_t first = 0;
    int direction = 0;
    const auto close = [&](std::size_t last) {
        if (direction != 0 && last - first + 1 >= TrendLength)
            signals.push_back({RunSignal::Kind::Trend, first + 1, last + 1, direction > 0});
    };
    for (std::size_t i = 1; i < values.size(); ++i) {
        const int step = values[i] > values[i - 1] ? 1 : values[i] < values[i - 1] ? -1 : 0;
        if (step != direction) {
            close(i - 1);
            direction = step;
            first = i - 1;
        }
    }
    if (!values.empty())
        close(values.size() - 1);
}

// Anhøj's rules over the readings off the median: each run longer than chance allows, and too few
// crossings over the whole run.
void addAnhojSignals(const std::vector<double>& values, double median, std::vector<RunSignal>& signals)
{
    struct Run {
        std::size_t first;
        std::size_t last;
        bool up;
        std::size_t length; // of readings off the median
    };
    std::vector<Run> runs;
    std::size_t useful = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == median)
            continue;
        ++useful;
        const bool up = values[i] > median;
        if (!runs.empty() && runs.back().up == up) {
            runs.back().last = i;
            ++runs.back().length;
        } else {
            runs.push_back({i, i, up, 1});
        }
    }
    if (useful < 2)
        return;
    const std::size_t longest = LongestRunExpected(useful);
    for (const Run& run : runs)
        if (run.length > longest)
            signals.push_back({RunSignal::Kind::LongRun, run.first + 1, run.last + 1, run.up});
    const std::size_t crossings = runs.size() - 1;
    if (crossings < FewestCrossingsExpected(useful)) {
        RunSignal few{RunSignal::Kind::FewCrossings, runs.front().first + 1, runs.back().last + 1, false};
        few.crossings = crossings;
        signals.push_back(few);
    }
}

// "readings 3-9 (14:28:07 to 14:28:13)", "reading 15 (14:28:19)"; the date too where the readings
// span more than a day.
std::string readingsText(const RunSignal& signal, const std::vector<Moment>& times)
{
    std::string text = signal.first == signal.last
                           ? "reading " + std::to_string(signal.first)
                           : "readings " + std::to_string(signal.first) + '-' + std::to_string(signal.last);
    if (times.size() < signal.last)
        return text;
    const Moment first = times[signal.first - 1];
    const Moment last = times[signal.last - 1];
    const std::string firstText = DateTimeText(first);
    const std::string lastText = DateTimeText(last);
    const bool oneDay = firstText.substr(0, 10) == lastText.substr(0, 10);
    text += " (";
    text += oneDay ? TimeOfDayText(first) : firstText;
    if (signal.first != signal.last)
        text += " to " + (oneDay ? TimeOfDayText(last) : lastText);
    return text + ')';
}

} // namespace

std::optional<ToleranceLimits> LimitsOf(const std::string& upperTolerance, const std::string& lowerTolerance)
{
    const auto upper = Decimal::parse(upperTolerance);
    const auto lower = Decimal::parse(lowerTolerance);
    if (!upper || !lower)
        return std::nullopt;
    return ToleranceLimits{upper->plain(), lower->hasSign() ? lower->plain() : -*lower};
}

bool ReadingsAreSizes(const RunChartRecord& record)
{
    return !record.ReadingsAreDeviations && CheckValueOf(record.Check).has_value();
}

std::optional<ToleranceLimits> RunLimits(const RunChartRecord& record)
{
    auto limits = LimitsOf(record.UpperTolerance, record.LowerTolerance);
    if (limits && ReadingsAreSizes(record)) {
        const Decimal check = CheckValueOf(record.Check)->value;
        limits = ToleranceLimits{check + limits->upper, check + limits->lower};
    }
    return limits;
}

int LimitDecimals(const RunChartRecord& record)
{
    std::vector<Decimal> typed;
    for (const std::string* text : {&record.UpperTolerance, &record.LowerTolerance})
        typed.push_back(Decimal::parse(*text).value_or(Decimal()));
    if (ReadingsAreSizes(record))
        typed.push_back(CheckValueOf(record.Check)->value);
    return MostDecimals(typed);
}

double Median(std::vector<double> values)
{
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + middle);
    // Halved first, so that two huge values give their midpoint rather than infinity.
    return lower / 2 + upper / 2;
}

std::vector<RunSignal> RunSignals(const std::vector<double>& values, double median, RunRules rules)
{
    std::vector<RunSignal> signals;
    if (rules == RunRules::Anhoj) {
        addAnhojSignals(values, median, signals);
    } else {
        addShifts(values, median, signals);
        addTrends(values, signals);
    }
    std::stable_sort(signals.begin(), signals.end(),
                     [](const RunSignal& a, const RunSignal& b) { return a.first < b.first; });
    return signals;
}

std::size_t LongestRunExpected(std::size_t n)
{
    return static_cast<std::size_t>(std::lround(std::log2(static_cast<double>(n)) + 3));
}

std::size_t FewestCrossingsExpected(std::size_t n)
{
    // Summed from where the lower tail is still worth a double: ten standard deviations below the
    // middle of n - 1 trials lies less than 1e-20 of the distribution.
    const double trials = static_cast<double>(n - 1);
    const double start = std::max(0.0, std::floor(trials / 2 - 5 * std::sqrt(trials)));
    const double logTotal = std::lgamma(trials + 1) - trials * std::log(2.0);
    double below = 0;
    for (double k = start; k < trials; ++k) {
        below += std::exp(logTotal - std::lgamma(k + 1) - std::lgamma(trials - k + 1));
        if (below >= 0.05)
            return static_cast<std::size_t>(k);
    }
    return static_cast<std::size_t>(trials);
}

std::vector<RunSignal> BeyondSignals(const std::vector<double>& values, double upper, double lower)
{
    std::vector<RunSignal> signals;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!(values[i] > upper || values[i] < lower))
            continue;
        const bool up = values[i] > upper;
        RunSignal* last = signals.empty() ? nullptr : &signals.back();
        if (last && last->last == i && last->up == up)
            last->last = i + 1;
        else
            signals.push_back({RunSignal::Kind::Beyond, i + 1, i + 1, up});
    }
    return signals;
}

std::string SignalsText(const std::vector<RunSignal>& signals, const std::vector<Moment>& times)
{
    if (signals.empty())
        return "None";
    std::string text;
    const std::size_t listed = std::min(signals.size(), ListedSignals);
    for (std::size_t i = 0; i < listed; ++i) {
        const RunSignal& signal = signals[i];
        if (!text.empty())
            text += "; ";
        const std::string readings = readingsText(signal, times);
        const char* side = signal.up ? " above the median" : " below the median";
        switch (signal.kind) {
        case RunSignal::Kind::Shift:
            text += "Shift: " + readings + side;
            break;
        case RunSignal::Kind::Trend:
            text += "Trend: " + readings + (signal.up ? " rising" : " falling");
            break;
        case RunSignal::Kind::Beyond:
            text += (signal.up ? "Beyond UNPL: " : "Beyond LNPL: ") + readings;
            break;
        case RunSignal::Kind::LongRun:
            text += "Long run: " + readings + side;
            break;
        case RunSignal::Kind::FewCrossings:
            text += "Few crossings: " + readings + " cross the median " + std::to_string(signal.crossings) +
                    (signal.crossings == 1 ? " time" : " times");
            break;
        }
    }
    if (signals.size() > listed)
        text += "; and " + std::to_string(signals.size() - listed) + " more";
    return text;
}

std::vector<double> NumbersOf(const std::vector<Decimal>& values)
{
    std::vector<double> numbers;
    numbers.reserve(values.size());
    for (const Decimal& value : values)
        numbers.push_back(value.number());
    return numbers;
}

RunStatistics StatisticsOf(const std::vector<Decimal>& decimals, const std::optional<ToleranceLimits>& limits,
                           RunRules rules)
{
    RunStatistics statistics;
    statistics.readings = decimals.size();
    if (decimals.empty())
        return statistics;
    if (limits)
        statistics.outOfTolerance = static_cast<std::size_t>(
            std::count_if(decimals.begin(), decimals.end(), [&](const Decimal& v) { return limits->outside(v); }));
    const std::vector<double> values = NumbersOf(decimals);
    const double median = Median(values);
    statistics.median = median;
    statistics.runSignals = RunSignals(values, median, rules);
    // Judged in decimal: a sum of equal doubles need not divide back to the same double, and its
    // crumbs of rounding would pass for a spread.
    statistics.identical = decimals.size() >= 2 && std::all_of(decimals.begin(), decimals.end(), [&](const Decimal& v) {
                               return v <= decimals.front() && v >= decimals.front();
                           });

    // Worked on values scaled down by a power of two (exactly) to below 1, so that no sum, difference
    // or square overflows; figures in the readings' unit are scaled back at the end.
    const double largest = std::abs(
        *std::max_element(values.begin(), values.end(), [](double a, double b) { return std::abs(a) < std::abs(b); }));
    int exponent = 0;
    std::frexp(largest, &exponent);
    exponent = std::max(exponent, 0);
    const double factor = std::ldexp(1.0, -exponent); // a power of two: the products are exact
    const auto scaled = [factor](double value) { return value * factor; };
    const auto unscaled = [exponent](std::optional<double> value) {
        return value ? finite(std::ldexp(*value, exponent)) : std::nullopt;
    };

    const double n = static_cast<double>(values.size());
    double sum = 0;
    for (const double value : values)
        sum += scaled(value);
    const double mean = statistics.identical ? scaled(values.front()) : sum / n;
    std::optional<double> movingRange;
    std::optional<double> sigmaWithin;
    std::optional<double> sigmaOverall;
    if (values.size() >= 2) {
        double ranges = 0;
        double squares = 0;
        for (std::size_t i = 0; !statistics.identical && i < values.size(); ++i) {
            if (i > 0)
                ranges += std::abs(scaled(values[i]) - scaled(values[i - 1]));
            squares += (scaled(values[i]) - mean) * (scaled(values[i]) - mean);
        }
        movingRange = ranges / (n - 1);
        sigmaWithin = *movingRange / MovingRangeFactor;
        sigmaOverall = std::sqrt(squares / (n - 1));
    }
    statistics.mean = unscaled(mean);
    statistics.sigmaWithin = unscaled(sigmaWithin);
    statistics.sigmaOverall = unscaled(sigmaOverall);
    if (movingRange) {
        statistics.upperNatural = unscaled(mean + NaturalLimitFactor * *movingRange);
        statistics.lowerNatural = unscaled(mean - NaturalLimitFactor * *movingRange);
    }
    // Readings all alike lie on their limits, never beyond.
    if (statistics.upperNatural && statistics.lowerNatural && !statistics.identical) {
        const std::vector<RunSignal> beyond = BeyondSignals(values, *statistics.upperNatural, *statistics.lowerNatural);
        statistics.runSignals.insert(statistics.runSignals.end(), beyond.begin(), beyond.end());
        std::stable_sort(statistics.runSignals.begin(), statistics.runSignals.end(),
                         [](const RunSignal& a, const RunSignal& b) { return a.first < b.first; });
    }
    if (limits) {
        const double upper = scaled(limits->upper.number());
        const double lower = scaled(limits->lower.number());
        const double nearer = std::min(upper - mean, mean - lower);
        statistics.cp = index(upper - lower, 6, sigmaWithin);
        statistics.cpk = index(nearer, 3, sigmaWithin);
        statistics.pp = index(upper - lower, 6, sigmaOverall);
        statistics.ppk = index(nearer, 3, sigmaOverall);
        if (statistics.cpk) {
            statistics.cpkInterval = IndexInterval(*statistics.cpk, decimals.size());
            statistics.ppmWithin = ExpectedPpm(mean, *sigmaWithin, upper, lower);
        }
        if (statistics.ppk) {
            statistics.ppkInterval = IndexInterval(*statistics.ppk, decimals.size());
            statistics.ppmOverall = ExpectedPpm(mean, *sigmaOverall, upper, lower);
        }
    }
    return statistics;
}

std::string FixedText(double value, int decimals)
{
    char text[400];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc{})
        return {};
    std::string fixed(text, end);
    // A value that rounds to nothing shows no sign.
    if (fixed.front() == '-' && fixed.find_first_not_of("-0.") == std::string::npos)
        fixed.erase(0, 1);
    return fixed;
}

std::vector<Decimal> ValuesOf(const std::vector<Reading>& readings)
{
    std::vector<Decimal> values;
    values.reserve(readings.size());
    for (const Reading& reading : readings)
        values.push_back(reading.value);
    return values;
}

std::vector<Moment> MomentsOf(const std::vector<Reading>& readings)
{
    std::vector<Moment> moments;
    moments.reserve(readings.size());
    for (const Reading& reading : readings)
        moments.push_back(reading.loggedAt);
    return moments;
}

int MostDecimals(const std::vector<Decimal>& values)
{
    int most = 0;
    for (const Decimal& value : values)
        most = std::max(most, value.decimals());
    return most;
}

std::vector<SummaryLine> SummaryLines(const RunStatistics& s, int decimals, const std::vector<Moment>& times)
{
    const auto figure = [](const char* label, std::optional<double> value, int places, bool isIndex = false) {
        return SummaryLine{label, value, value ? FixedText(*value, places) : std::string(), isIndex};
    };
    const auto count = [](const char* label, std::optional<std::size_t> value) {
        return SummaryLine{label, value ? std::optional(static_cast<double>(*value)) : std::nullopt,
                           value ? std::to_string(*value) : std::string()};
    };
    // A little finer than the readings; the median of two is at most one digit finer.
    const int finer = std::min(decimals, 12) + 2;
    return {
        count("Readings", s.readings),
        count("Out of tolerance", s.outOfTolerance),
        figure("Mean", s.mean, finer),
        figure("Median", s.median, finer - 1),
        figure("Sigma (within)", s.sigmaWithin, finer),
        figure("Sigma (overall)", s.sigmaOverall, finer),
        figure("Cp", s.cp, 2, true),
        figure("Cpk", s.cpk, 2, true),
        figure("Pp", s.pp, 2, true),
        figure("Ppk", s.ppk, 2, true),
        {"Signals", std::nullopt, SignalsText(s.runSignals, times)},
        {"Capability note", std::nullopt, capabilityNote(s)},
        {"Cpk 95% interval", std::nullopt, intervalText(s.cpkInterval)},
        {"Ppk 95% interval", std::nullopt, intervalText(s.ppkInterval)},
        figure("Expected ppm (within)", s.ppmWithin, 2),
        figure("Expected ppm (overall)", s.ppmOverall, 2),
        figure("UNPL", s.upperNatural, finer),
        figure("LNPL", s.lowerNatural, finer),
    };
}

} // namespace quorvale

#include "readingstats.h"

#include "reading.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quorvale {

namespace {

constexpr std::size_t ShiftLength = 6;
constexpr std::size_t TrendLength = 5;

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

} // namespace

std::optional<ToleranceLimits> LimitsOf(const std::string& upperTolerance, const std::string& lowerTolerance)
{
    const auto upper = ReadingNumber(upperTolerance);
    const auto lowerText = ReadingValueText(lowerTolerance);
    if (!upper || !lowerText)
        return std::nullopt;
    const double lower = *ReadingNumber(*lowerText);
    const bool hasSign = lowerText->front() == '+' || lowerText->front() == '-';
    return ToleranceLimits{*upper, hasSign ? lower : -lower};
}

double Median(std::vector<double> values)
{
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    const double upper = values[middle];
    if (values.size() % 2 == 1)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + middle);
    return (lower + upper) / 2;
}

std::optional<double> Cpk(const std::vector<double>& values, const std::optional<ToleranceLimits>& limits)
{
    if (!limits || values.size() < 2)
        return std::nullopt;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    if (*low == *high)
        return std::nullopt;

    const double n = static_cast<double>(values.size());
    const double mean = std::accumulate(values.begin(), values.end(), 0.0) / n;
    double squares = 0;
    for (const double value : values)
        squares += (value - mean) * (value - mean);
    const double deviation = std::sqrt(squares / (n - 1));
    return std::min(limits->upper - mean, mean - limits->lower) / (3 * deviation);
}

std::vector<RunSignal> RunSignals(const std::vector<double>& values, double median)
{
    std::vector<RunSignal> signals;
    addShifts(values, median, signals);
    addTrends(values, signals);
    std::stable_sort(signals.begin(), signals.end(),
                     [](const RunSignal& a, const RunSignal& b) { return a.first < b.first; });
    return signals;
}

std::string SignalsText(const std::vector<RunSignal>& signals)
{
    if (signals.empty())
        return "None";
    std::string text;
    for (const RunSignal& signal : signals) {
        if (!text.empty())
            text += "; ";
        const std::string readings = "readings " + std::to_string(signal.first) + '-' + std::to_string(signal.last);
        if (signal.kind == RunSignal::Kind::Shift)
            text += "Shift: " + readings + (signal.up ? " above" : " below") + " the median";
        else
            text += "Trend: " + readings + (signal.up ? " rising" : " falling");
    }
    return text;
}

} // namespace quorvale

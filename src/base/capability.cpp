#include "capability.h"

#include <cmath>

namespace quorvale {

namespace {

constexpr double NormalQuantile975 = 1.96;

// The share of a standard normal distribution beyond z standard deviations on one side.
double tail(double z)
{
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

} // namespace

std::optional<Interval> IndexInterval(double index, std::size_t readings)
{
    if (readings < 2)
        return std::nullopt;
    const double n = static_cast<double>(readings);
    const double half = NormalQuantile975 * std::sqrt(1 / (9 * n) + index * index / (2 * (n - 1)));
    return Interval{index - half, index + half};
}

double ExpectedPpm(double mean, double sigma, double upper, double lower)
{
    return 1e6 * (tail((upper - mean) / sigma) + tail((mean - lower) / sigma));
}

} // namespace quorvale

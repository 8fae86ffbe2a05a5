// What quality engineers read beside the capability indices: how far an index estimated from a few
// readings may be trusted, and how many parts in a million a normal process of that mean and sigma
// would make outside the limits.
#pragma once

#include <cstddef>
#include <optional>

namespace quorvale {

// Below this many readings the indices are a rough guide at best.
constexpr std::size_t CapabilityReadings = 25;

struct Interval {
    double low;
    double high;
};

// The 95% confidence interval of Cpk or Ppk from readings readings, by Bissell's normal
// approximation: index ± 1.96 sqrt(1/(9n) + index²/(2(n - 1))). Nothing below two readings.
std::optional<Interval> IndexInterval(double index, std::size_t readings);

// Parts per million of a normal distribution beyond either limit; sigma above zero.
double ExpectedPpm(double mean, double sigma, double upper, double lower);

} // namespace quorvale

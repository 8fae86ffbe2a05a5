// The chart page's figures for a record with logged readings.
#pragma once

#include "chartpage.h"
#include "runchartrecord.h"

#include <optional>

namespace quorvale {

// The readings as the run judged them, with the run's limits, its check (for sizes), its median and
// its natural process limits, titled with the part number, the check and the first and last
// reading's date and time, the values in Check's unit; nothing when no reading is logged.
std::optional<ChartData> runChartOf(const RunChartRecord& record);

} // namespace quorvale

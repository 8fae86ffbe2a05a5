// What the workbook adds for logged readings: their limits and median beside them, the summary
// cells F19:G29, and the limits and median as lines in the chart.
#pragma once

#include "readingstats.h"

#include <xlsxwriter.h>

#include <optional>
#include <vector>

namespace quorvale {

// values are the readings written from row 3 down; the chart already shows them and is placed here.
lxw_error WriteReadingsSummary(lxw_workbook* workbook, lxw_worksheet* sheet, lxw_chart* chart,
                               const std::vector<Decimal>& values, const std::optional<ToleranceLimits>& limits);

} // namespace quorvale

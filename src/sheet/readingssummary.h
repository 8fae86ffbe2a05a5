// What the workbook adds for logged readings: their limits, median and check beside them and those out
// of tolerance once more, the summary cells H19:I29; in the chart the limits, median and check as
// lines and the readings out of tolerance as red triangles.
#pragma once

#include "readingstats.h"

#include <xlsxwriter.h>

#include <optional>
#include <vector>

namespace quorvale {

// The record's readings are written from row 3 down; the chart already shows them and is placed here.
lxw_error WriteReadingsSummary(lxw_workbook* workbook, lxw_worksheet* sheet, lxw_chart* chart,
                               const RunChartRecord& record, const std::optional<ToleranceLimits>& limits);

} // namespace quorvale

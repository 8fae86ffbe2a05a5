// The record a logged run was measured against, as labelled cells beside the readings: part,
// customer, operation, inspector, the check with its tolerances and the tool.
#pragma once

#include "runchartrecord.h"

#include <xlsxwriter.h>

namespace quorvale {

// Labels in F8:F17, each value right of its label in G, as typed.
lxw_error WriteRecordCells(lxw_workbook* workbook, lxw_worksheet* sheet, const RunChartRecord& record);

} // namespace quorvale

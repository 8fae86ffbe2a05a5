// The record a new run starts with: the one before, dated the day the run starts.
#pragma once

#include "runchartrecord.h"

#include <QDate>

namespace quorvale {

// The record with its two date boxes set to the day, as "7 Dec 2026".
RunChartRecord RecordDatedOn(RunChartRecord record, QDate day);

} // namespace quorvale

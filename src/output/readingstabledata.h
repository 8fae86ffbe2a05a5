// The readings table's rows for a record with logged readings, in place of the data sheet's list.
#pragma once

#include "readingstable.h"
#include "runchartrecord.h"

#include <optional>

namespace quorvale {

// Each logged reading with its number, date and time, value and mark, standing in place of the
// data sheet's lines that list them; nothing when no reading is logged.
std::optional<ReadingsTable> readingsTableOf(const RunChartRecord& record);

} // namespace quorvale

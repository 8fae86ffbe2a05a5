// The readings as the data sheet lists them: one line per reading in columns, marked where it lies
// outside its limits, then the summary of the run.
#pragma once

#include "runchartrecord.h"

#include <string>

namespace quorvale {

// "Readings :", the reading lines, an empty line, "Summary :" and one line per figure, each line
// ended by CR LF; UTF-8 like the record. Nothing without logged readings.
std::string ReadingsListText(const RunChartRecord& record);

} // namespace quorvale

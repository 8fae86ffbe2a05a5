// The readings as the data sheet lists them: one line per reading in columns, marked where it lies
// outside its limits, then the summary of the run.
#pragma once

#include "runchartrecord.h"

#include <string>
#include <vector>

namespace quorvale {

// A reading's columns as the outputs list them: its number (from 1), date and time, value as kept,
// and "above upper limit" or "below lower limit" for one outside its limits.
struct ReadingColumns {
    std::string number;
    std::string dateTime;
    std::string value;
    std::string mark;
};

std::vector<ReadingColumns> ReadingsColumns(const RunChartRecord& record);

// "Readings :", the reading lines, an empty line, "Summary : Part 1234 - Operation 20 - Check 25.000"
// and one line per figure, each line ended by CR LF; UTF-8 like the record. Nothing without logged
// readings.
std::string ReadingsListText(const RunChartRecord& record);

} // namespace quorvale

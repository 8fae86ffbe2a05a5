// Writes the run chart workbook: the logged readings with their record and summary (or the sample
// series while none are logged) with their fills, the caption and link cells, the embedded line chart
// and the document properties.
// No UI: the outcome is returned.
#pragma once

#include "result.h"
#include "runchartrecord.h"

#include <string>
#include <system_error>

namespace quorvale {

// Document properties, UTF-8; an empty text gives an empty property. A character that XML cannot hold
// is written as "?".
struct WorkbookProperties {
    std::string title;
    std::string subject;
    std::string author;
    std::string keywords;
    std::string comments;
};

// The error of a failure in which the library could not even start a workbook.
inline std::error_code WorkbookNotStarted()
{
    return std::make_error_code(std::errc::not_enough_memory);
}

// Writes the workbook (OOXML, whatever the file name's ending) to path, replacing a file there
// (or the file a link at path points to) only once the new one is complete; a failed save leaves the
// older file as it was and no partial file behind. The record gives the logged readings, the limits
// they are charted against and the record block beside them. Numbers are written with a point
// whatever the locale.
Result WriteRunChartWorkbook(const std::string& path, const WorkbookProperties& properties,
                             const RunChartRecord& record = {});

} // namespace quorvale

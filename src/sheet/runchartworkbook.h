// Writes the run chart workbook: the logged readings (or the sample series while none are logged)
// with their fills, the caption and link cells, the embedded line chart and the document properties.
// No UI: the outcome is returned.
#pragma once

#include "result.h"
#include "runchartrecord.h"

#include <string>

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

// Saved, or why not; a failed save leaves the older file as it was and no partial file behind.
struct WorkbookResult : Result {
    bool started = true; // false when the library could not even start a workbook
};

// Writes the workbook (OOXML, whatever the file name's ending) to path, replacing a file there
// (or the file a link at path points to) only once the new one is complete. The record gives the
// logged readings and the tolerances they are charted against.
WorkbookResult WriteRunChartWorkbook(const std::string& path, const WorkbookProperties& properties,
                                     const RunChartRecord& record = {});

} // namespace quorvale

// Writes the run chart workbook: the logged readings (or the sample series while none are logged)
// with their fills, the caption and link cells, the embedded line chart and the document properties.
// No UI: the outcome is returned.
#pragma once

#include "runchartrecord.h"

#include <string>

namespace quorvale {

// Document properties, UTF-8; an empty text gives an empty property.
struct WorkbookProperties {
    std::string title;
    std::string subject;
    std::string author;
    std::string keywords;
    std::string comments;
};

struct WorkbookResult {
    enum class Status {
        Saved,
        NotStarted, // the library could not start a workbook; nothing was written
        Failed,     // building or saving failed; no partial file is left behind
    };
    Status status = Status::Saved;
    std::string reason; // why it failed, empty when saved

    bool saved() const { return status == Status::Saved; }
};

// Writes the workbook (OOXML, whatever the file name's ending) to path, replacing a file there.
// The record gives the logged readings and the tolerances they are charted against.
WorkbookResult WriteRunChartWorkbook(const std::string& path, const WorkbookProperties& properties,
                                     const RunChartRecord& record = {});

} // namespace quorvale

// The data sheet: the run chart record as labelled CR LF lines in Windows-1252 (in UTF-8 after its
// byte-order mark when Windows-1252 cannot hold the record), the hand-off from the entry window to
// the PDF writer.
#pragma once

#include "result.h"
#include "runchartrecord.h"

#include <cstdint>
#include <string>

namespace quorvale {

// The data sheet's place: the program's folder followed by "/tempchart.txt", joined as they are.
std::string DataSheetPath(const std::string& programFolder);

// The bytes of the data sheet for a record; logged readings follow the comments.
std::string DataSheetText(const RunChartRecord& record);

// Lines of a text, counted from 1 as its readers count them: a CR, alone or before an LF, ends a line.
struct SheetLines {
    std::int64_t first = 1;
    std::int64_t count = 0;
};

// The data sheet's lines that list the logged readings, one a reading.
SheetLines DataSheetReadingLines(const RunChartRecord& record);

// Writes the data sheet as a new file that replaces whatever is at the path (a symbolic link there is
// replaced, not followed); a device there is written into and kept. A failed write leaves no file behind.
Result WriteDataSheet(const RunChartRecord& record, const std::string& path);

} // namespace quorvale

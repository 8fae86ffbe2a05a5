#include "readingstabledata.h"

#include "datasheet.h"
#include "readingslist.h"
#include "readingslook.h"
#include "windows1252.h"

namespace quorvale {

std::optional<ReadingsTable> readingsTableOf(const RunChartRecord& record)
{
    if (record.Readings.empty())
        return std::nullopt;
    const SheetLines lines = DataSheetReadingLines(record);
    ReadingsTable table;
    table.firstLine = lines.first;
    table.lines = lines.count;
    table.heading.reading = encodeWindows1252(ValueHeading(record));
    for (const ReadingColumns& columns : ReadingsColumns(record))
        table.rows.push_back({columns.number, columns.dateTime, encodeWindows1252(columns.value), columns.mark});
    return table;
}

} // namespace quorvale

#include "recordcells.h"

#include "sheetlayout.h"
#include "xmltext.h"

#include <iterator>

namespace quorvale {

lxw_error WriteRecordCells(lxw_workbook* workbook, lxw_worksheet* sheet, const RunChartRecord& record)
{
    const struct {
        const char* label;
        const std::string& value;
    } lines[] = {
        {"Part #", record.PartNumber},
        {"Customer", record.CustomerName},
        {"Description", record.Description},
        {"Operation", record.OperationNumber},
        {"Inspector", record.Inspector},
        {"Inspection Date", record.DateInspector},
        {"Check", record.Check},
        {"Upper Tolerance", record.UpperTolerance},
        {"Lower Tolerance", record.LowerTolerance},
        {"Inspection Tool", record.InspectionTool},
    };
    static_assert(std::size(lines) == RecordLines);
    lxw_format* label = Bold(workbook);
    FirstError keep;
    lxw_row_t row = FirstRecordRow;
    for (const auto& line : lines) {
        keep(worksheet_write_string(sheet, row, LabelColumn, line.label, label));
        keep(worksheet_write_string(sheet, row, FigureColumn, CellText(line.value).c_str(), nullptr));
        ++row;
    }
    return keep.error();
}

} // namespace quorvale

// Where the run chart workbook puts its readings, its colours, and the small helpers its parts share.
#pragma once

#include <xlsxwriter.h>

#include <cstddef>
#include <functional>
#include <map>
#include <string>

namespace quorvale {

constexpr char SheetName[] = "Sheet1";
constexpr char TimeFormat[] = "h:mm AM/PM";
constexpr char DateTimeFormat[] = "yyyy-mm-dd hh:mm:ss";

// Zero-based: the headings in row 2, the readings from row 3 down.
constexpr lxw_row_t HeaderRow = 1;
constexpr lxw_row_t FirstReadingRow = 2;
constexpr lxw_col_t TimeColumn = 0;
constexpr lxw_col_t ToleranceColumn = 1;

// A logged run's labels in column H with their values right of them in I: the record from row 8,
// then after an empty row the summary.
constexpr lxw_col_t LabelColumn = 7;
constexpr lxw_col_t FigureColumn = 8;
constexpr lxw_row_t FirstRecordRow = 7;
constexpr lxw_row_t RecordLines = 10;
constexpr lxw_row_t FirstSummaryRow = FirstRecordRow + RecordLines + 1;

constexpr lxw_color_t HeaderFill = 0x00CCFF;  // RGB(0, 204, 255)
constexpr lxw_color_t ReadingFill = 0xFFCC00; // RGB(255, 204, 0)
constexpr lxw_color_t CaptionRed = 0xFF0000;  // RGB(255, 0, 0)

// A column's cells over the readings, as a chart refers to them: "=Sheet1!$B$3:$B$16".
inline std::string ReadingsRange(char column, std::size_t readings)
{
    const std::string last = std::to_string(FirstReadingRow + readings);
    return std::string("=") + SheetName + "!$" + column + "$3:$" + column + '$' + last;
}

// A column's heading in row 2, which names its line in the chart: "=Sheet1!$C$2".
inline std::string HeadingCell(char column)
{
    return std::string("=") + SheetName + "!$" + column + "$2";
}

inline lxw_format* Filled(lxw_workbook* workbook, lxw_color_t colour)
{
    lxw_format* format = workbook_add_format(workbook);
    format_set_pattern(format, LXW_PATTERN_SOLID);
    format_set_bg_color(format, colour);
    return format;
}

// A number format with that many decimals: "0", "0.000".
inline std::string DecimalsFormat(int decimals)
{
    return decimals > 0 ? "0." + std::string(static_cast<std::size_t>(decimals), '0') : "0";
}

inline lxw_format* Bold(lxw_workbook* workbook)
{
    lxw_format* format = workbook_add_format(workbook);
    format_set_bold(format);
    return format;
}

// Formats alike but for their decimals, each made once, when first asked for.
class DecimalFormats {
public:
    DecimalFormats(lxw_workbook* workbook, std::function<lxw_format*(lxw_workbook*)> make)
        : m_workbook(workbook), m_make(std::move(make))
    {
    }

    lxw_format* with(int decimals)
    {
        lxw_format*& format = m_made[decimals];
        if (!format && (format = m_make(m_workbook)) != nullptr)
            format_set_num_format(format, DecimalsFormat(decimals).c_str());
        return format;
    }

private:
    lxw_workbook* m_workbook;
    std::function<lxw_format*(lxw_workbook*)> m_make;
    std::map<int, lxw_format*> m_made;
};

// Keeps the first failure of a run of library calls.
class FirstError {
public:
    void operator()(lxw_error result)
    {
        if (m_error == LXW_NO_ERROR)
            m_error = result;
    }
    lxw_error error() const { return m_error; }

private:
    lxw_error m_error = LXW_NO_ERROR;
};

} // namespace quorvale

#include "runchartworkbook.h"

#include "celltext.h"
#include "maker.h"
#include "replacefile.h"
#include "xmltext.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <string_view>

namespace quorvale {

namespace {

struct Reading {
    std::string_view time;
    std::string_view tolerance;
};

// Rows 3 to 16 of columns A and B, as a user would type them.
constexpr std::array<Reading, 14> Readings{{
    {"1:20 PM", "0.02"},
    {"1:40 PM", "0.04"},
    {"2:00 PM", "0.01"},
    {"2:20 PM", "0.04"},
    {"2:40 PM", "0.12"},
    {"3:00 PM", "0.08"},
    {"3:20 PM", "0.01"},
    {"3:40 PM", "0.14"},
    {"4:00 PM", "0.06"},
    {"4:20 PM", "0.04"},
    {"4:40 PM", "0.08"},
    {"5:00 PM", "0.02"},
    {"6:20 PM", "0.04"},
    {"7:40 PM", "0.08"},
}};

// Zero-based rows and columns of the cells written.
constexpr lxw_row_t HeaderRow = 1;
constexpr lxw_row_t FirstReadingRow = 2;
constexpr lxw_col_t TimeColumn = 0;
constexpr lxw_col_t ToleranceColumn = 1;
constexpr lxw_col_t CaptionColumn = 5;
constexpr lxw_row_t CaptionRow = 3;
constexpr lxw_row_t LinkRow = 5;
// A18: below the readings, clear of the caption cells and of the link text running on from F6.
constexpr lxw_row_t ChartRow = 17;
constexpr lxw_col_t ChartColumn = 0;

constexpr char SheetName[] = "Sheet1";
constexpr char Categories[] = "=Sheet1!$A$3:$A$16";
constexpr char Values[] = "=Sheet1!$B$3:$B$16";
constexpr char TimeFormat[] = "h:mm AM/PM";

constexpr lxw_color_t HeaderFill = 0x00CCFF;  // RGB(0, 204, 255)
constexpr lxw_color_t ReadingFill = 0xFFCC00; // RGB(255, 204, 0)
constexpr lxw_color_t CaptionRed = 0xFF0000;  // RGB(255, 0, 0)

struct Formats {
    lxw_format* header;
    lxw_format* time;
    lxw_format* tolerance;
    lxw_format* caption; // F4, F6: bold and red
    lxw_format* bold;    // the empty F5 between them
    lxw_format* link;
};

struct ReadingValues {
    double time;
    double tolerance;
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

std::optional<std::array<ReadingValues, Readings.size()>> parseReadings()
{
    std::array<ReadingValues, Readings.size()> values{};
    for (std::size_t i = 0; i < Readings.size(); ++i) {
        const auto time = ParseTimeOfDay(Readings[i].time);
        const auto tolerance = ParseDecimal(Readings[i].tolerance);
        if (!time || !tolerance)
            return std::nullopt;
        values[i] = {*time, *tolerance};
    }
    return values;
}

lxw_format* filled(lxw_workbook* workbook, lxw_color_t colour)
{
    lxw_format* format = workbook_add_format(workbook);
    format_set_pattern(format, LXW_PATTERN_SOLID);
    format_set_bg_color(format, colour);
    return format;
}

lxw_format* bold(lxw_workbook* workbook)
{
    lxw_format* format = workbook_add_format(workbook);
    format_set_bold(format);
    return format;
}

Formats addFormats(lxw_workbook* workbook)
{
    Formats formats{};
    formats.header = filled(workbook, HeaderFill);
    formats.time = filled(workbook, ReadingFill);
    format_set_num_format(formats.time, TimeFormat);
    formats.tolerance = filled(workbook, ReadingFill);
    formats.caption = bold(workbook);
    format_set_font_color(formats.caption, CaptionRed);
    formats.bold = bold(workbook);
    // Underlined so the red, bold cell still reads as a link.
    formats.link = bold(workbook);
    format_set_font_color(formats.link, CaptionRed);
    format_set_underline(formats.link, LXW_UNDERLINE_SINGLE);
    return formats;
}

lxw_error writeCells(lxw_worksheet* sheet, const Formats& formats,
                     const std::array<ReadingValues, Readings.size()>& readings)
{
    FirstError keep;
    keep(worksheet_write_string(sheet, HeaderRow, TimeColumn, "Date/Time", formats.header));
    keep(worksheet_write_string(sheet, HeaderRow, ToleranceColumn, "Tolerance", formats.header));
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const auto row = static_cast<lxw_row_t>(FirstReadingRow + i);
        keep(worksheet_write_number(sheet, row, TimeColumn, readings[i].time, formats.time));
        keep(worksheet_write_number(sheet, row, ToleranceColumn, readings[i].tolerance, formats.tolerance));
    }

    const std::string url(MakerUrl);
    keep(worksheet_write_string(sheet, CaptionRow, CaptionColumn, "Quorvale Demo ", formats.caption));
    keep(worksheet_write_blank(sheet, CaptionRow + 1, CaptionColumn, formats.bold));
    keep(worksheet_write_url(sheet, LinkRow, CaptionColumn, url.c_str(), formats.link));
    return keep.error();
}

lxw_error addChart(lxw_workbook* workbook, lxw_worksheet* sheet)
{
    lxw_chart* chart = workbook_add_chart(workbook, LXW_CHART_LINE);
    lxw_chart_series* series = chart ? chart_add_series(chart, Categories, Values) : nullptr;
    if (!series)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    // An explicit marker, so that every spreadsheet program draws one at each point.
    chart_series_set_marker_type(series, LXW_CHART_MARKER_DIAMOND);
    chart_series_set_name(series, "Tolerance");

    std::string title = "Quorvale Demo - " + std::string(MakerHostAndPath);
    std::replace(title.begin(), title.end(), '/', '-');
    chart_title_set_name(chart, title.c_str());

    chart_axis_set_name(chart->x_axis, "Date/Time");
    chart_axis_set_name(chart->y_axis, "Tolerance");
    // Not every spreadsheet program takes the category format from the cells.
    chart_axis_set_num_format(chart->x_axis, TimeFormat);
    for (lxw_chart_axis* axis : {chart->x_axis, chart->y_axis}) {
        chart_axis_major_gridlines_set_visible(axis, LXW_TRUE);
        chart_axis_minor_gridlines_set_visible(axis, LXW_FALSE);
    }
    return worksheet_insert_chart(sheet, ChartRow, ChartColumn, chart);
}

lxw_error setProperties(lxw_workbook* workbook, WorkbookProperties texts)
{
    for (std::string* text : {&texts.title, &texts.subject, &texts.author, &texts.keywords, &texts.comments})
        *text = XmlText(*text);
    lxw_doc_properties properties{};
    properties.title = texts.title.data();
    properties.subject = texts.subject.data();
    properties.author = texts.author.data();
    properties.keywords = texts.keywords.data();
    properties.comments = texts.comments.data();
    return workbook_set_properties(workbook, &properties);
}

WorkbookResult failed(std::string reason, bool started = true)
{
    return {Result::failure(std::move(reason)), started};
}

} // namespace

WorkbookResult WriteRunChartWorkbook(const std::string& path, const WorkbookProperties& properties)
{
    const auto readings = parseReadings();
    if (!readings)
        return failed("A reading of the series is not a valid time or number.");

    try {
        // The library writes the file beside the older workbook, which stays as it was until the
        // new one is saved completely.
        ReplacementFile file(path);
        lxw_workbook* workbook = workbook_new(file.path().c_str());
        lxw_worksheet* sheet = workbook ? workbook_add_worksheet(workbook, SheetName) : nullptr;
        if (!sheet) {
            if (workbook)
                lxw_workbook_free(workbook);
            return failed("The workbook could not be started.", /*started*/ false);
        }

        FirstError keep;
        keep(writeCells(sheet, addFormats(workbook), *readings));
        keep(addChart(workbook, sheet));
        keep(setProperties(workbook, properties));
        if (keep.error() != LXW_NO_ERROR) {
            lxw_workbook_free(workbook);
            return failed(lxw_strerror(keep.error()));
        }
        if (const lxw_error saveError = workbook_close(workbook); saveError != LXW_NO_ERROR)
            return failed(lxw_strerror(saveError));
        file.commit();
        return {};
    } catch (const std::exception& failure) {
        return failed(failure.what());
    }
}

} // namespace quorvale

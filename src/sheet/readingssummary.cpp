#include "readingssummary.h"

#include "sheetlayout.h"

#include <cstddef>

namespace quorvale {

namespace {

// Zero-based columns and rows.
constexpr lxw_col_t UpperColumn = 2;
constexpr lxw_col_t LowerColumn = 3;
constexpr lxw_col_t MedianColumn = 4;
// F31: right of the readings, however many there are, and below the summary's eleven lines.
constexpr lxw_row_t ChartRow = FirstSummaryRow + 12;
constexpr lxw_col_t ChartColumn = 5;

constexpr lxw_color_t LimitColour = 0xC00000;
constexpr lxw_color_t MedianColour = 0x00B050;

// One column repeating a figure on every reading's row under its heading, and its line in the chart.
lxw_error addLevel(lxw_worksheet* sheet, lxw_chart* chart, lxw_format* heading, lxw_col_t column, const char* title,
                   double level, std::size_t rows, lxw_color_t colour)
{
    FirstError keep;
    keep(worksheet_write_string(sheet, HeaderRow, column, title, heading));
    for (std::size_t i = 0; i < rows; ++i)
        keep(worksheet_write_number(sheet, static_cast<lxw_row_t>(FirstReadingRow + i), column, level, nullptr));

    const char letter = static_cast<char>('A' + column);
    // Against the reading numbers, as the readings' own line (see the chart in runchartworkbook.cpp).
    lxw_chart_series* series = chart_add_series(chart, nullptr, ReadingsRange(letter, rows).c_str());
    if (!series)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    chart_series_set_name(series, HeadingCell(letter).c_str());
    chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
    lxw_chart_line line{};
    line.color = colour;
    line.width = 1.5;
    line.dash_type = column == MedianColumn ? LXW_CHART_LINE_DASH_DASH : LXW_CHART_LINE_DASH_SOLID;
    chart_series_set_line(series, &line);
    return keep.error();
}

} // namespace

lxw_error WriteReadingsSummary(lxw_workbook* workbook, lxw_worksheet* sheet, lxw_chart* chart,
                               const std::vector<Decimal>& values, const std::optional<ToleranceLimits>& limits)
{
    const std::size_t rows = values.size();
    const RunStatistics statistics = StatisticsOf(values, limits);
    lxw_format* heading = Filled(workbook, HeaderFill);
    lxw_format* label = Bold(workbook);
    lxw_format* indexFormat = workbook_add_format(workbook);
    format_set_num_format(indexFormat, "0.00");

    FirstError keep;
    if (limits) {
        keep(
            addLevel(sheet, chart, heading, UpperColumn, "Upper Tolerance", limits->upper.number(), rows, LimitColour));
        keep(
            addLevel(sheet, chart, heading, LowerColumn, "Lower Tolerance", limits->lower.number(), rows, LimitColour));
    }
    if (statistics.median)
        keep(addLevel(sheet, chart, heading, MedianColumn, "Median", *statistics.median, rows, MedianColour));

    // Each label with its figure right of it; a figure that cannot be computed leaves its cell empty.
    lxw_row_t row = FirstSummaryRow;
    for (const SummaryLine& line : SummaryLines(statistics, MostDecimals(values))) {
        keep(worksheet_write_string(sheet, row, LabelColumn, line.label, label));
        if (line.value)
            keep(worksheet_write_number(sheet, row, FigureColumn, *line.value, line.isIndex ? indexFormat : nullptr));
        else if (!line.text.empty())
            keep(worksheet_write_string(sheet, row, FigureColumn, line.text.c_str(), nullptr));
        ++row;
    }

    // Readings below the nominal would otherwise carry the times across the middle of the chart.
    chart_axis_set_label_position(chart->x_axis, LXW_CHART_AXIS_LABEL_POSITION_LOW);
    // Wide enough for the dates, the headings and the labels; printed one page wide, the chart beside the readings.
    worksheet_set_landscape(sheet);
    worksheet_fit_to_pages(sheet, 1, 0);
    keep(worksheet_set_column(sheet, TimeColumn, TimeColumn, 19, nullptr));
    keep(worksheet_set_column(sheet, UpperColumn, LowerColumn, 16, nullptr));
    keep(worksheet_set_column(sheet, LabelColumn, FigureColumn, 16, nullptr));
    lxw_chart_options placement{};
    placement.x_scale = 1.5;
    placement.y_scale = 1.25;
    keep(worksheet_insert_chart_opt(sheet, ChartRow, ChartColumn, chart, &placement));
    return keep.error();
}

} // namespace quorvale

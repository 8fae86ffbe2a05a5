#include "readingssummary.h"

#include "readingslook.h"
#include "sheetlayout.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace quorvale {

namespace {

// Zero-based columns and rows.
constexpr lxw_col_t UpperColumn = 2;
constexpr lxw_col_t LowerColumn = 3;
constexpr lxw_col_t MedianColumn = 4;
constexpr lxw_col_t CheckColumn = 5;
constexpr lxw_col_t OutsideColumn = 6;
// Right of the summary's labels and figures, which stand beside the readings from row 8 down.
constexpr lxw_col_t UpperNaturalColumn = FigureColumn + 1;
constexpr lxw_col_t LowerNaturalColumn = FigureColumn + 2;
constexpr lxw_col_t ChartColumn = LabelColumn;

constexpr lxw_color_t LimitColour = 0xC00000;
constexpr lxw_color_t MedianColour = 0x00B050;
constexpr lxw_color_t CheckColour = 0x404040;
constexpr lxw_color_t OutsideColour = 0xFF0000;
constexpr lxw_color_t NaturalLimitColour = 0x7030A0;

// The decimals a figure's text was written with: the cell shows the same rounding, and keeps the value.
int decimalsOf(const std::string& text)
{
    const std::size_t mark = text.find('.');
    return mark == std::string::npos ? 0 : static_cast<int>(text.size() - mark - 1);
}

// A column's heading, which names its series in the chart: the readings' own, against their numbers
// (see the chart in runchartworkbook.cpp).
lxw_chart_series* addColumnSeries(lxw_worksheet* sheet, lxw_chart* chart, lxw_format* heading, lxw_col_t column,
                                  const char* title, std::size_t rows, FirstError& keep)
{
    keep(worksheet_write_string(sheet, HeaderRow, column, title, heading));
    const char letter = static_cast<char>('A' + column);
    lxw_chart_series* series = chart_add_series(chart, nullptr, ReadingsRange(letter, rows).c_str());
    if (!series) {
        keep(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return nullptr;
    }
    chart_series_set_name(series, HeadingCell(letter).c_str());
    return series;
}

// One column repeating a figure on every reading's row under its heading, and its line in the chart.
void addLevel(lxw_worksheet* sheet, lxw_chart* chart, lxw_format* heading, lxw_col_t column, const char* title,
              double level, lxw_format* format, std::size_t rows, lxw_chart_line line, FirstError& keep)
{
    for (std::size_t i = 0; i < rows; ++i)
        keep(worksheet_write_number(sheet, static_cast<lxw_row_t>(FirstReadingRow + i), column, level, format));
    if (lxw_chart_series* series = addColumnSeries(sheet, chart, heading, column, title, rows, keep)) {
        chart_series_set_marker_type(series, LXW_CHART_MARKER_NONE);
        chart_series_set_line(series, &line);
    }
}

// The readings out of tolerance once more, on their rows and nowhere else, charted as red triangles
// over their marks: a spreadsheet program leaves a gap at an empty cell.
void addOutside(lxw_worksheet* sheet, lxw_chart* chart, lxw_format* heading, const std::vector<Decimal>& values,
                const ToleranceLimits& limits, DecimalFormats& formats, const RunChartRecord& record, FirstError& keep)
{
    const int shown = ValueDecimals(record);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (limits.outside(values[i]))
            keep(worksheet_write_number(sheet, static_cast<lxw_row_t>(FirstReadingRow + i), OutsideColumn,
                                        values[i].number(), formats.with(std::max(shown, values[i].decimals()))));
    }
    lxw_chart_series* series =
        addColumnSeries(sheet, chart, heading, OutsideColumn, "Out of Tolerance", values.size(), keep);
    if (!series)
        return;
    lxw_chart_line none{};
    none.none = LXW_TRUE;
    chart_series_set_line(series, &none);
    chart_series_set_marker_type(series, LXW_CHART_MARKER_TRIANGLE);
    chart_series_set_marker_size(series, 9);
    lxw_chart_fill fill{};
    fill.color = OutsideColour;
    chart_series_set_marker_fill(series, &fill);
    lxw_chart_line border{};
    border.color = OutsideColour;
    chart_series_set_marker_line(series, &border);
}

lxw_chart_line lineOf(lxw_color_t colour, std::uint8_t dash)
{
    lxw_chart_line line{};
    line.color = colour;
    line.width = 1.5;
    line.dash_type = dash;
    return line;
}

} // namespace

lxw_error WriteReadingsSummary(lxw_workbook* workbook, lxw_worksheet* sheet, lxw_chart* chart,
                               const RunChartRecord& record, const std::optional<ToleranceLimits>& limits)
{
    const std::vector<Decimal> values = ValuesOf(record.Readings);
    const std::size_t rows = values.size();
    const RunStatistics statistics = StatisticsOf(values, limits, record.Rules);
    const std::vector<SummaryLine> summary = SummaryLines(statistics, MostDecimals(values), MomentsOf(record.Readings));
    lxw_format* heading = Filled(workbook, HeaderFill);
    lxw_format* label = Bold(workbook);
    DecimalFormats figures(workbook, workbook_add_format);
    const int shown = ValueDecimals(record);

    FirstError keep;
    const lxw_chart_line limitLine = lineOf(LimitColour, LXW_CHART_LINE_DASH_SOLID);
    if (limits) {
        addLevel(sheet, chart, heading, UpperColumn, "Upper Limit", limits->upper.number(), figures.with(shown), rows,
                 limitLine, keep);
        addLevel(sheet, chart, heading, LowerColumn, "Lower Limit", limits->lower.number(), figures.with(shown), rows,
                 limitLine, keep);
    }
    if (statistics.median) {
        addLevel(sheet, chart, heading, MedianColumn, "Median", *statistics.median,
                 figures.with(decimalsOf(SummaryText(summary, "Median"))), rows,
                 lineOf(MedianColour, LXW_CHART_LINE_DASH_DASH), keep);
    }
    if (const std::optional<CheckLevel> check = CheckLevelOf(record))
        addLevel(sheet, chart, heading, CheckColumn, "Check", check->value, figures.with(shown), rows,
                 lineOf(CheckColour, LXW_CHART_LINE_DASH_DASH_DOT), keep);
    if (limits)
        addOutside(sheet, chart, heading, values, *limits, figures, record, keep);
    if (statistics.upperNatural && statistics.lowerNatural) {
        const lxw_chart_line naturalLine = lineOf(NaturalLimitColour, LXW_CHART_LINE_DASH_SQUARE_DOT);
        addLevel(sheet, chart, heading, UpperNaturalColumn, "UNPL", *statistics.upperNatural,
                 figures.with(decimalsOf(SummaryText(summary, "UNPL"))), rows, naturalLine, keep);
        addLevel(sheet, chart, heading, LowerNaturalColumn, "LNPL", *statistics.lowerNatural,
                 figures.with(decimalsOf(SummaryText(summary, "LNPL"))), rows, naturalLine, keep);
    }

    // Each label with its figure right of it, rounded as the PDF writes it; a figure that cannot be
    // computed leaves its cell empty.
    lxw_row_t row = FirstSummaryRow;
    for (const SummaryLine& line : summary) {
        keep(worksheet_write_string(sheet, row, LabelColumn, line.label, label));
        if (line.value)
            keep(worksheet_write_number(sheet, row, FigureColumn, *line.value,
                                        line.text.find('.') != std::string::npos ? figures.with(decimalsOf(line.text))
                                                                                 : nullptr));
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
    keep(worksheet_set_column(sheet, UpperColumn, OutsideColumn, 16, nullptr));
    keep(worksheet_set_column(sheet, LabelColumn, LabelColumn, 22, nullptr));
    keep(worksheet_set_column(sheet, FigureColumn, LowerNaturalColumn, 16, nullptr));
    lxw_chart_options placement{};
    placement.x_scale = 1.5;
    placement.y_scale = 1.25;
    // Right of the readings, however many there are, and below the summary after an empty row.
    keep(worksheet_insert_chart_opt(sheet, row + 1, ChartColumn, chart, &placement));
    return keep.error();
}

} // namespace quorvale

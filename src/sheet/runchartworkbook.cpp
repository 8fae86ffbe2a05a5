#include "runchartworkbook.h"

#include "cnumericlocale.h"
#include "maker.h"
#include "readingslook.h"
#include "readingssummary.h"
#include "recordcells.h"
#include "replacefile.h"
#include "sheetlayout.h"
#include "xmltext.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

namespace quorvale {

namespace {

// Rows 3 to 16 of columns A and B while no reading is logged: times of day on no day in particular.
Reading sample(int hour, int minute, const char* value)
{
    return {{(hour * 60 + minute) * 60, 0}, *Decimal::parse(value)};
}

const std::vector<Reading>& sampleReadings()
{
    static const std::vector<Reading> samples{
        sample(13, 20, "0.02"), sample(13, 40, "0.04"), sample(14, 0, "0.01"),  sample(14, 20, "0.04"),
        sample(14, 40, "0.12"), sample(15, 0, "0.08"),  sample(15, 20, "0.01"), sample(15, 40, "0.14"),
        sample(16, 0, "0.06"),  sample(16, 20, "0.04"), sample(16, 40, "0.08"), sample(17, 0, "0.02"),
        sample(18, 20, "0.04"), sample(19, 40, "0.08"),
    };
    return samples;
}

constexpr lxw_col_t SampleCaptionColumn = 5;
constexpr lxw_row_t CaptionRow = 3;
constexpr lxw_row_t LinkRow = 5;
// A18: below the samples, clear of the caption cells and of the link text running on from F6.
constexpr lxw_row_t ChartRow = 17;
constexpr lxw_col_t ChartColumn = 0;

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
    int decimals; // as typed
    bool outside; // of its limits
};
using Series = std::vector<ReadingValues>;

// What differs between a logged run and the untouched sample sheet.
struct Look {
    std::string valueHeading; // column B's heading, the y axis and the readings' line
    const char* timeFormat;
    std::string chartTitle;
};

Look lookOf(const RunChartRecord& record)
{
    if (record.Readings.empty()) {
        std::string title = "Quorvale Demo - " + std::string(MakerHostAndPath);
        std::replace(title.begin(), title.end(), '/', '-');
        return {"Tolerance", TimeFormat, title};
    }
    return {ValueHeading(record), DateTimeFormat, CellText(record.PartNumber + " - Check " + record.Check)};
}

// A spreadsheet's date and time: days since 1899-12-30 with the time of day as the fraction, local
// to where the reading was logged.
double spreadsheetDateTime(Moment moment)
{
    constexpr std::int64_t SecondsPerDay = 24 * 60 * 60;
    constexpr std::int64_t DaysFrom1899To1970 = 25569;
    const std::int64_t local = moment.at + moment.utcOffset;
    const std::int64_t days = (local - SecondOfDay(moment)) / SecondsPerDay;
    return static_cast<double>(days + DaysFrom1899To1970) + SecondOfDay(moment) / double(SecondsPerDay);
}

// The series the sheet and the chart hold: the logged readings with their dates, or the samples'
// times of day while none are logged.
Series seriesOf(const std::vector<Reading>& logged, const std::optional<ToleranceLimits>& limits)
{
    Series series;
    for (const Reading& reading : logged.empty() ? sampleReadings() : logged) {
        const double time = logged.empty() ? SecondOfDay(reading.loggedAt) / (24.0 * 60.0 * 60.0)
                                           : spreadsheetDateTime(reading.loggedAt);
        series.push_back(
            {time, reading.value.number(), reading.value.decimals(), limits && limits->outside(reading.value)});
    }
    return series;
}

Formats addFormats(lxw_workbook* workbook, const Look& look)
{
    Formats formats{};
    formats.header = Filled(workbook, HeaderFill);
    formats.time = Filled(workbook, ReadingFill);
    format_set_num_format(formats.time, look.timeFormat);
    formats.tolerance = Filled(workbook, ReadingFill);
    formats.caption = Bold(workbook);
    format_set_font_color(formats.caption, CaptionRed);
    formats.bold = Bold(workbook);
    // Underlined so the red, bold cell still reads as a link.
    formats.link = Bold(workbook);
    format_set_font_color(formats.link, CaptionRed);
    format_set_underline(formats.link, LXW_UNDERLINE_SINGLE);
    return formats;
}

lxw_error writeCells(lxw_workbook* workbook, lxw_worksheet* sheet, const Formats& formats, const Look& look,
                     const Series& readings, const RunChartRecord& record)
{
    const bool logged = !record.Readings.empty();
    const int shown = ValueDecimals(record);
    DecimalFormats within(workbook, [](lxw_workbook* book) { return Filled(book, ReadingFill); });
    DecimalFormats outside(workbook, [](lxw_workbook* book) {
        lxw_format* format = Filled(book, ReadingFill);
        format_set_bold(format);
        format_set_font_color(format, CaptionRed);
        return format;
    });
    FirstError keep;
    keep(worksheet_write_string(sheet, HeaderRow, TimeColumn, "Date/Time", formats.header));
    keep(worksheet_write_string(sheet, HeaderRow, ToleranceColumn, look.valueHeading.c_str(), formats.header));
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const auto row = static_cast<lxw_row_t>(FirstReadingRow + i);
        keep(worksheet_write_number(sheet, row, TimeColumn, readings[i].time, formats.time));
        const double value = readings[i].tolerance;
        const bool out = readings[i].outside;
        // A logged reading shows the decimals the run shows (a number format: the cell keeps the
        // value), or its own where it was typed with more.
        const int decimals = std::max(shown, readings[i].decimals);
        lxw_format* format = !logged ? formats.tolerance : out ? outside.with(decimals) : within.with(decimals);
        keep(worksheet_write_number(sheet, row, ToleranceColumn, value, format));
    }

    // The caption right of the samples, or above a logged run's record.
    const lxw_col_t captionColumn = logged ? LabelColumn : SampleCaptionColumn;
    const std::string url(MakerUrl);
    keep(worksheet_write_string(sheet, CaptionRow, captionColumn, "Quorvale Demo ", formats.caption));
    keep(worksheet_write_blank(sheet, CaptionRow + 1, captionColumn, formats.bold));
    keep(worksheet_write_url(sheet, LinkRow, captionColumn, url.c_str(), formats.link));
    return keep.error();
}

// The readings' line; logged readings name it by their heading, beside the lines of their limits.
lxw_chart* addChart(lxw_workbook* workbook, std::size_t rows, bool logged, const Look& look, FirstError& keep)
{
    lxw_chart* chart = workbook_add_chart(workbook, LXW_CHART_LINE);
    // Logged readings are charted by their numbers: spreadsheet programs read date-and-time
    // categories as a date axis counted in days, and draw a run of one day at one point.
    const std::string categories = logged ? std::string() : ReadingsRange('A', rows);
    lxw_chart_series* series =
        chart ? chart_add_series(chart, logged ? nullptr : categories.c_str(), ReadingsRange('B', rows).c_str())
              : nullptr;
    if (!series) {
        keep(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return nullptr;
    }
    // An explicit marker, so that every spreadsheet program draws one at each point.
    chart_series_set_marker_type(series, LXW_CHART_MARKER_DIAMOND);
    chart_series_set_name(series, logged ? HeadingCell('B').c_str() : look.valueHeading.c_str());
    chart_title_set_name(chart, look.chartTitle.c_str());
    chart_axis_set_name(chart->x_axis, logged ? "Reading number" : "Date/Time");
    chart_axis_set_name(chart->y_axis, look.valueHeading.c_str());
    // Not every spreadsheet program takes the category format from the cells.
    if (!logged)
        chart_axis_set_num_format(chart->x_axis, look.timeFormat);
    for (lxw_chart_axis* axis : {chart->x_axis, chart->y_axis}) {
        chart_axis_major_gridlines_set_visible(axis, LXW_TRUE);
        chart_axis_minor_gridlines_set_visible(axis, LXW_FALSE);
    }
    return chart;
}

// The cells and the chart: logged readings charted against their limits and summed up with their
// record, or the samples.
lxw_error writeContent(lxw_workbook* workbook, lxw_worksheet* sheet, const RunChartRecord& record)
{
    const bool logged = !record.Readings.empty();
    const auto limits = logged ? RunLimits(record) : std::nullopt;
    const Series readings = seriesOf(record.Readings, limits);
    const Look look = lookOf(record);
    FirstError keep;
    keep(writeCells(workbook, sheet, addFormats(workbook, look), look, readings, record));
    lxw_chart* chart = addChart(workbook, readings.size(), logged, look, keep);
    if (chart && !logged) {
        keep(worksheet_insert_chart(sheet, ChartRow, ChartColumn, chart));
    } else if (chart) {
        keep(WriteRecordCells(workbook, sheet, record));
        keep(WriteReadingsSummary(workbook, sheet, chart, record, limits));
    }
    return keep.error();
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

Result failed(std::string reason, std::error_code error = {})
{
    return {false, std::move(reason), error};
}

} // namespace

Result WriteRunChartWorkbook(const std::string& path, const WorkbookProperties& properties,
                             const RunChartRecord& record)
{
    // The library prints its numbers with the C library, which would write "0,5" under a
    // comma-decimal locale: spreadsheet programs read that as no number at all.
    const CNumericLocale pointDecimals;
    try {
        // The library writes the file beside the older workbook, which stays as it was until the
        // new one is saved completely.
        ReplacementFile file(path);
        lxw_workbook* workbook = workbook_new(file.path().c_str());
        lxw_worksheet* sheet = workbook ? workbook_add_worksheet(workbook, SheetName) : nullptr;
        if (!sheet) {
            if (workbook)
                lxw_workbook_free(workbook);
            return failed("The workbook could not be started.", WorkbookNotStarted());
        }

        FirstError keep;
        keep(writeContent(workbook, sheet, record));
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

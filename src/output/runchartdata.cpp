#include "runchartdata.h"

#include "reading.h"
#include "readingstats.h"
#include "windows1252.h"

#include <algorithm>

namespace quorvale {

namespace {

// A figure as the summary writes it, so that the chart and the summary agree digit for digit.
std::string summaryText(const RunStatistics& statistics, const RunChartRecord& record, std::string_view label)
{
    const std::vector<SummaryLine> lines = SummaryLines(statistics, MostDecimals(record.Readings));
    const auto line = std::find_if(lines.begin(), lines.end(), [&](const SummaryLine& l) { return l.label == label; });
    return line == lines.end() ? std::string() : line->text;
}

ChartJudgement judged(double value, const std::optional<ToleranceLimits>& limits)
{
    if (limits && limits->above(value))
        return ChartJudgement::Above;
    return limits && limits->below(value) ? ChartJudgement::Below : ChartJudgement::Within;
}

} // namespace

std::optional<ChartData> runChartOf(const RunChartRecord& record)
{
    const std::optional<ToleranceLimits> limits = RunLimits(record);
    ChartData chart;
    std::vector<double> values;
    for (const Reading& reading : record.Readings) {
        if (const std::optional<double> value = ReadingNumber(reading.value)) {
            chart.readings.push_back({*value, judged(*value, limits)});
            values.push_back(*value);
        }
    }
    if (values.empty())
        return std::nullopt;
    chart.title =
        encodeWindows1252("Part " + record.PartNumber + " - Check " + record.Check + " - " +
                          DateTimeText(record.Readings.front()) + " to " + DateTimeText(record.Readings.back()));
    // The values up the side in the decimals of Check and its tolerances, else in the readings'.
    chart.decimals = limits || ReadingsAreSizes(record) ? LimitDecimals(record) : MostDecimals(record.Readings);
    const int limitDecimals = LimitDecimals(record);
    if (limits) {
        chart.levels.push_back(
            {ChartLevel::Kind::Limit, limits->upper, "Upper " + FixedText(limits->upper, limitDecimals)});
        chart.levels.push_back(
            {ChartLevel::Kind::Limit, limits->lower, "Lower " + FixedText(limits->lower, limitDecimals)});
    }
    if (ReadingsAreSizes(record)) {
        const std::string check = *ReadingValueText(record.Check);
        chart.levels.push_back({ChartLevel::Kind::Check, *ReadingNumber(check), "Check " + check});
    }
    const RunStatistics statistics = StatisticsOf(values, limits);
    chart.levels.push_back(
        {ChartLevel::Kind::Median, *statistics.median, "Median " + summaryText(statistics, record, "Median")});
    return chart;
}

} // namespace quorvale

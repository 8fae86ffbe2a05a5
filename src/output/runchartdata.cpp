#include "runchartdata.h"

#include "reading.h"
#include "readingslook.h"
#include "readingstats.h"
#include "windows1252.h"

namespace quorvale {

namespace {

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
    chart.decimals = ValueDecimals(record);
    const int limitDecimals = LimitDecimals(record);
    if (limits) {
        chart.levels.push_back(
            {ChartLevel::Kind::Limit, limits->upper, "Upper " + FixedText(limits->upper, limitDecimals)});
        chart.levels.push_back(
            {ChartLevel::Kind::Limit, limits->lower, "Lower " + FixedText(limits->lower, limitDecimals)});
    }
    if (const std::optional<CheckLevel> check = CheckLevelOf(record))
        chart.levels.push_back({ChartLevel::Kind::Check, check->value, "Check " + check->text});
    const RunStatistics statistics = StatisticsOf(values, limits);
    chart.levels.push_back(
        {ChartLevel::Kind::Median, *statistics.median,
         "Median " + SummaryText(SummaryLines(statistics, MostDecimals(record.Readings)), "Median")});
    return chart;
}

} // namespace quorvale

#include "runchartdata.h"

#include "reading.h"
#include "readingslook.h"
#include "readingstats.h"

namespace quorvale {

namespace {

ChartJudgement judged(const Decimal& value, const std::optional<ToleranceLimits>& limits)
{
    if (limits && limits->above(value))
        return ChartJudgement::Above;
    return limits && limits->below(value) ? ChartJudgement::Below : ChartJudgement::Within;
}

} // namespace

std::optional<ChartData> runChartOf(const RunChartRecord& record)
{
    const std::optional<ToleranceLimits> limits = RunLimits(record);
    if (record.Readings.empty())
        return std::nullopt;
    ChartData chart;
    const std::vector<Decimal> values = ValuesOf(record.Readings);
    for (const Decimal& value : values)
        chart.readings.push_back({value.number(), judged(value, limits)});
    chart.title = "Part " + record.PartNumber + " - Check " + record.Check + " - " +
                  DateTimeText(record.Readings.front().loggedAt) + " to " +
                  DateTimeText(record.Readings.back().loggedAt);
    chart.decimals = ValueDecimals(record);
    chart.unit = ValueUnit(record);
    const int limitDecimals = LimitDecimals(record);
    if (limits) {
        chart.levels.push_back({ChartLevel::Kind::Limit, limits->upper.number(),
                                "Upper " + limits->upper.textWithDecimals(limitDecimals)});
        chart.levels.push_back({ChartLevel::Kind::Limit, limits->lower.number(),
                                "Lower " + limits->lower.textWithDecimals(limitDecimals)});
    }
    if (const std::optional<CheckLevel> check = CheckLevelOf(record))
        chart.levels.push_back({ChartLevel::Kind::Check, check->value, "Check " + check->text});
    const RunStatistics statistics = StatisticsOf(values, limits, record.Rules);
    const std::vector<SummaryLine> summary = SummaryLines(statistics, MostDecimals(values));
    chart.levels.push_back({ChartLevel::Kind::Median, *statistics.median, "Median " + SummaryText(summary, "Median")});
    if (statistics.upperNatural && statistics.lowerNatural) {
        chart.levels.push_back(
            {ChartLevel::Kind::NaturalLimit, *statistics.upperNatural, "UNPL " + SummaryText(summary, "UNPL")});
        chart.levels.push_back(
            {ChartLevel::Kind::NaturalLimit, *statistics.lowerNatural, "LNPL " + SummaryText(summary, "LNPL")});
    }
    return chart;
}

} // namespace quorvale

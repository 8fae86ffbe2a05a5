#include "runchartdata.h"

#include "reading.h"
#include "readingstats.h"
#include "windows1252.h"

namespace quorvale {

std::optional<ChartData> runChartOf(const RunChartRecord& record)
{
    if (record.Readings.empty())
        return std::nullopt;
    ChartData chart;
    const std::vector<Decimal> values = ValuesOf(record.Readings);
    chart.readings = NumbersOf(values);
    chart.title = encodeWindows1252("Part " + record.PartNumber + " - Check " + record.Check + " - " +
                                    DateTimeText(record.Readings.front().loggedAt) + " to " +
                                    DateTimeText(record.Readings.back().loggedAt));
    const std::optional<ToleranceLimits> limits = RunLimits(record);
    if (limits) {
        chart.upper = limits->upper.number();
        chart.lower = limits->lower.number();
    }
    for (const Decimal& value : values)
        chart.outside.push_back(limits && limits->outside(value));
    chart.median = Median(chart.readings);
    chart.decimals = MostDecimals(values);
    return chart;
}

} // namespace quorvale

#include "runchartdata.h"

#include "reading.h"
#include "readingstats.h"
#include "windows1252.h"

namespace quorvale {

std::optional<ChartData> runChartOf(const RunChartRecord& record)
{
    ChartData chart;
    for (const Reading& reading : record.Readings) {
        if (const std::optional<double> value = ReadingNumber(reading.value))
            chart.readings.push_back(*value);
    }
    if (chart.readings.empty())
        return std::nullopt;
    chart.title =
        encodeWindows1252("Part " + record.PartNumber + " - Check " + record.Check + " - " +
                          DateTimeText(record.Readings.front()) + " to " + DateTimeText(record.Readings.back()));
    if (const std::optional<ToleranceLimits> limits = RunLimits(record)) {
        chart.upper = limits->upper;
        chart.lower = limits->lower;
    }
    chart.median = Median(chart.readings);
    chart.decimals = MostDecimals(record.Readings);
    return chart;
}

} // namespace quorvale

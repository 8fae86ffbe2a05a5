#include "readingslook.h"

#include "reading.h"
#include "readingstats.h"

#include <algorithm>

namespace quorvale {

std::string ValueHeading(const RunChartRecord& record)
{
    return ReadingsAreSizes(record) ? "Reading" : "Deviation";
}

int ValueDecimals(const RunChartRecord& record)
{
    return RunLimits(record) || ReadingsAreSizes(record) ? LimitDecimals(record)
                                                         : MostDecimals(ValuesOf(record.Readings));
}

std::optional<CheckLevel> CheckLevelOf(const RunChartRecord& record)
{
    const std::optional<Decimal> check = Decimal::parse(record.Check);
    if (!check)
        return std::nullopt;
    return CheckLevel{ReadingsAreSizes(record) ? check->number() : 0.0, check->text()};
}

std::string SummaryText(const std::vector<SummaryLine>& lines, std::string_view label)
{
    const auto line =
        std::find_if(lines.begin(), lines.end(), [&](const SummaryLine& each) { return each.label == label; });
    return line == lines.end() ? std::string() : line->text;
}

} // namespace quorvale

#include "readingslook.h"

#include "checkvalue.h"
#include "reading.h"
#include "readingstats.h"

#include <algorithm>

namespace quorvale {

std::string ValueHeading(const RunChartRecord& record)
{
    std::string heading = ReadingsAreSizes(record) ? "Reading" : "Deviation";
    if (const std::string unit = ValueUnit(record); !unit.empty())
        heading += " (" + unit + ')';
    return heading;
}

std::string ValueUnit(const RunChartRecord& record)
{
    const std::optional<CheckValue> check = CheckValueOf(record.Check);
    return check ? check->unit : std::string();
}

std::string CheckNote(const RunChartRecord& record)
{
    if (record.ReadingsAreDeviations || CheckValueOf(record.Check))
        return {};
    return "Check is not a number: readings are deviations from 0";
}

int ValueDecimals(const RunChartRecord& record)
{
    return RunLimits(record) || ReadingsAreSizes(record) ? LimitDecimals(record)
                                                         : MostDecimals(ValuesOf(record.Readings));
}

std::optional<CheckLevel> CheckLevelOf(const RunChartRecord& record)
{
    const std::optional<CheckValue> check = CheckValueOf(record.Check);
    if (!check)
        return std::nullopt;
    return CheckLevel{ReadingsAreSizes(record) ? check->value.number() : 0.0, check->value.text()};
}

std::string SummaryText(const std::vector<SummaryLine>& lines, std::string_view label)
{
    const auto line =
        std::find_if(lines.begin(), lines.end(), [&](const SummaryLine& each) { return each.label == label; });
    return line == lines.end() ? std::string() : line->text;
}

} // namespace quorvale

#include "readingslist.h"

#include "readingstats.h"

#include <algorithm>
#include <vector>

namespace quorvale {

namespace {

constexpr const char* CrLf = "\r\n";
constexpr const char* Gap = "  ";

// A text's width in blanks as the proportional standard fonts draw it: a digit or a plus is two
// blanks wide in Times and Helvetica, a point, comma or minus about one. The data sheet is read
// through the PDF, most often in those fonts, so its columns are padded by this measure.
std::size_t widthInBlanks(const std::string& text)
{
    std::size_t width = 0;
    for (const char c : text)
        width += (c >= '0' && c <= '9') || c == '+' ? 2 : 1;
    return width;
}

std::string blanks(std::size_t count)
{
    return std::string(count, ' ');
}

std::string markOf(const Decimal& value, const std::optional<ToleranceLimits>& limits)
{
    if (!limits)
        return {};
    if (limits->above(value))
        return "above upper limit";
    return limits->below(value) ? "below lower limit" : std::string();
}

} // namespace

std::string ReadingsListText(const RunChartRecord& record)
{
    const std::vector<Reading>& readings = record.Readings;
    if (readings.empty())
        return {};
    const auto limits = RunLimits(record);
    const std::string last = std::to_string(readings.size());
    std::size_t valueWidth = 0;
    for (const Reading& reading : readings)
        valueWidth = std::max(valueWidth, widthInBlanks(reading.value.text()));

    const std::vector<Decimal> values = ValuesOf(readings);
    std::string text = std::string("Readings :") + CrLf;
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const Reading& reading = readings[i];
        const std::string number = std::to_string(i + 1);
        const std::string& value = reading.value.text();
        text += blanks(widthInBlanks(last) - widthInBlanks(number)) + number + Gap + DateTimeText(reading.loggedAt) +
                Gap + value;
        if (const std::string mark = markOf(reading.value, limits); !mark.empty())
            text += blanks(valueWidth - widthInBlanks(value)) + Gap + mark;
        text += CrLf;
    }

    // Named, so that the page it ends up on tells which run it sums up.
    text += CrLf;
    text += "Summary : Part ";
    text += record.PartNumber + " - Operation " + record.OperationNumber + " - Check " + record.Check + CrLf;
    for (const SummaryLine& line :
         SummaryLines(StatisticsOf(values, limits, record.Rules), MostDecimals(values), MomentsOf(readings)))
        text += std::string(line.label) + " : " + line.text + CrLf;
    return text;
}

std::vector<ReadingColumns> ReadingsColumns(const RunChartRecord& record)
{
    const auto limits = RunLimits(record);
    std::vector<ReadingColumns> columns;
    columns.reserve(record.Readings.size());
    for (const Reading& reading : record.Readings)
        columns.push_back({std::to_string(columns.size() + 1), DateTimeText(reading.loggedAt), reading.value.text(),
                           markOf(reading.value, limits)});
    return columns;
}

} // namespace quorvale

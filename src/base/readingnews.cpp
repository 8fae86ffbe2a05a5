#include "readingnews.h"

namespace quorvale {

std::string LoggedReadingNews(std::size_t number, const Decimal& value, const std::optional<ToleranceLimits>& limits,
                              int limitDecimals, const std::vector<RunSignal>& found, const std::vector<Moment>& times)
{
    std::string news = "Reading " + std::to_string(number) + " (" + value.text() + ")";
    if (!limits)
        news += " logged.";
    else if (limits->above(value))
        news += " is above the upper limit " + limits->upper.textWithDecimals(limitDecimals) + '.';
    else if (limits->below(value))
        news += " is below the lower limit " + limits->lower.textWithDecimals(limitDecimals) + '.';
    else
        news += " is within the limits.";
    for (const RunSignal& signal : found)
        if (signal.last == number)
            news += ' ' + SignalsText({signal}, times) + '.';
    return news;
}

} // namespace quorvale

#include "runline.h"

#include "readingnews.h"
#include "readingslook.h"
#include "runmodel.h"

namespace quorvale {

std::string RunLineText(const RunModel& run)
{
    const auto& readings = run.readings();
    const std::string note = CheckNote(run.record());
    if (readings.empty())
        return note.empty() ? note : note + '.';
    const RunStatistics& statistics = run.statistics();
    std::vector<Moment> times;
    times.reserve(readings.size());
    for (const RunReading& reading : readings)
        times.push_back(reading.reading.loggedAt);
    std::string line = LoggedReadingNews(readings.size(), readings.back().reading.value, run.limits(),
                                         run.limitDecimals(), statistics.runSignals, times);
    line += ' ' + std::to_string(readings.size()) + (readings.size() == 1 ? " reading" : " readings");
    if (statistics.outOfTolerance)
        line += ", " + std::to_string(*statistics.outOfTolerance) + " out of tolerance";
    if (readings.size() >= CpkReadings && statistics.cpk)
        line += ", Cpk " + FixedText(*statistics.cpk, 2);
    line += '.';
    return note.empty() ? line : line + ' ' + note + '.';
}

} // namespace quorvale

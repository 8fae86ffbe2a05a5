#include "runstext.h"

#include <algorithm>

namespace quorvale {

std::string RunListLine(const RunSummary& run)
{
    std::string part = run.partNumber;
    std::replace_if(
        part.begin(), part.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return std::to_string(run.id) + '\t' + (run.finished ? "finished" : "open") + '\t' + IsoText(run.started) + '\t' +
           std::to_string(run.readings) + '\t' + part + '\n';
}

std::string ReadingsCsv(const StoredRun& run)
{
    // No field needs quotes: a count, a time and a kept reading hold no comma, quote or line break.
    std::string csv = "reading,time,value\r\n";
    for (const StoredReading& stored : run.readings)
        csv += std::to_string(stored.number) + ',' + IsoText(stored.reading.loggedAt) + ',' +
               stored.reading.value.text() + "\r\n";
    return csv;
}

} // namespace quorvale

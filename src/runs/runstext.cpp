#include "runstext.h"

#include <algorithm>

namespace quorvale {

namespace {

// A field quoted where it holds a comma, a quote or a line break, its quotes doubled.
std::string csvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

} // namespace

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
    std::string csv = "reading,time,value\r\n";
    std::size_t place = 0;
    for (const StoredReading& stored : run.readings)
        csv += std::to_string(++place) + ',' + IsoText({stored.reading.loggedAt, stored.reading.utcOffset}) + ',' +
               csvField(stored.reading.value) + "\r\n";
    return csv;
}

} // namespace quorvale

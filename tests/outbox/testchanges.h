// A run's changes as the window makes them, for the outbox's tests: a start, then readings whose
// values count up, each made a second after the one before.
#pragma once

#include "readingof.h"
#include "runchange.h"
#include "runstore.h"

#include <string>
#include <vector>

namespace quorvale::test {

inline RunChange StartChange(const std::string& runKey, std::int64_t at = 1'796'000'000)
{
    RunChange change{NewIdentity(), runKey, RunChangeKind::StartRun, {at, 3600}, {}, {}, DefaultRunChartRecord()};
    change.record.PartNumber = "part of " + runKey;
    return change;
}

inline RunChange ReadingChange(const std::string& runKey, int value, RunChangeKind kind = RunChangeKind::LogReading,
                               const std::string& readingKey = NewIdentity())
{
    const std::int64_t at = 1'796'000'000 + value;
    return {NewIdentity(), runKey, kind, {at, 3600}, readingKey, ReadingOf(at, 3600, std::to_string(value)), {}};
}

// A started run and count readings logged into it: 1, 2, 3, ...
inline std::vector<RunChange> LoggedRun(int count, const std::string& runKey = NewIdentity())
{
    std::vector<RunChange> changes = {StartChange(runKey)};
    for (int value = 1; value <= count; ++value)
        changes.push_back(ReadingChange(runKey, value));
    return changes;
}

} // namespace quorvale::test

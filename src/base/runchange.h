// One change to a run, as it is made in the window and as it travels to the runs store: what
// changed, in which run, when, and an identity of its own made where it was made, so that the store
// can take each change exactly once however often it is sent.
#pragma once

#include "moment.h"
#include "reading.h"
#include "runchartrecord.h"

#include <string>

namespace quorvale {

enum class RunChangeKind {
    StartRun,       // a new run with record (its fields and deviations choice), started at `at`
    LogReading,     // reading (value and the moment it arrived) joins the run as readingKey
    EditReading,    // readingKey now holds reading (value and time)
    RemoveReading,  // readingKey leaves the run; the store keeps it in the run's changes
    PutBackReading, // a removed readingKey is back, as reading
    ChangeRecord,   // the run's record (its fields and deviations choice) is now record
    Finish,         // the run is finished
};

struct RunChange {
    std::string id;     // unique, made where the change was made (128 random bits, hex)
    std::string runKey; // the run's identity, made when the run was started
    RunChangeKind kind = RunChangeKind::LogReading;
    Moment at;              // when the change was made
    std::string readingKey; // the reading's identity, for the reading kinds
    Reading reading;        // LogReading, EditReading, PutBackReading
    RunChartRecord record;  // StartRun, ChangeRecord; its Readings are not used

    bool operator==(const RunChange&) const = default;
};

// 128 random bits as 32 lower-case hex digits: the identity of a change, a run or a reading.
std::string NewIdentity();

} // namespace quorvale

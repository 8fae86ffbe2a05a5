// Readings the runs database could not take when they were logged, kept in a journal file beside
// the SQLite file until it takes them: the window writes them as soon as the database works again,
// and at the latest the next start does.
#pragma once

#include "runstore.h"

#include <QString>

#include <optional>
#include <vector>

namespace quorvale {

struct UnsavedReadings {
    QString database; // the database they belong in
    RunId run = 0;    // 0 while the run is still to be made, with this record
    RunChartRecord record;
    std::vector<Reading> readings;
};

// The journal of a database: beside its SQLite file, or beside the per-user file for a server.
QString UnsavedJournalPath(const QString& database, const QString& userDatabase);

// Replaces the journal whole; no readings removes it. The reason when it cannot be written.
QString WriteUnsavedJournal(const QString& path, const UnsavedReadings& unsaved);
// None when there is no journal or it cannot be read.
std::optional<UnsavedReadings> ReadUnsavedJournal(const QString& path);

// Writes the readings into their run, making the run first where it is still to be made.
Result SaveUnsavedReadings(RunStore& store, UnsavedReadings& unsaved);

} // namespace quorvale

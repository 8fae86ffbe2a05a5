// The run this user's program worked on last in a database, in a note in the user's data folder
// named after the database's identity: a plant's server holds the open runs of every station, and
// the newest of them may be another station's.
#pragma once

#include "databaseidentity.h"
#include "runstore.h"

#include <QString>

#include <optional>

namespace quorvale {

// "lastrun-KEY" in the data folder.
QString LastRunPath(const QString& dataFolder, const DatabaseIdentity& database);

// The run remembered for this database; none when none is, or the note is not the user's own file.
std::optional<RunId> ReadLastRun(const QString& path, const DatabaseIdentity& database);
// Remembers the run (a file of mode 0600, replaced whole, never through a link).
Result WriteLastRun(const QString& path, const DatabaseIdentity& database, RunId run);

} // namespace quorvale

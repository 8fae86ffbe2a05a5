// The run this user's program worked on last, in a file beside the per-user database: a plant's
// server holds the open runs of every station, and the newest of them may be another station's.
#pragma once

#include "runstore.h"

#include <QString>

#include <optional>

namespace quorvale {

// Beside the SQLite file, or beside the per-user file for a server.
QString LastRunPath(const QString& database, const QString& userDatabase);

// The run remembered for this database; none when another database's or none is remembered.
std::optional<RunId> ReadLastRun(const QString& path, const QString& database);
// Remembers the run; the reason when the file cannot be written.
QString WriteLastRun(const QString& path, const QString& database, RunId run);

} // namespace quorvale

// The runs database's tables, under a schema version: made on first use, brought up to date by
// numbered steps, and never touched when they come from a newer Quorvale or from another program.
#pragma once

#include "result.h"

class QSqlDatabase;

namespace quorvale {

// The version this Quorvale writes.
constexpr int RunsSchemaVersion = 3;

// Makes or checks the tables of an open database, bringing them up to the target version (an older
// one only to test the upgrade); the reason, in words, when it may not be used.
Result PrepareRunsSchema(QSqlDatabase& database, bool server, int target = RunsSchemaVersion);

} // namespace quorvale

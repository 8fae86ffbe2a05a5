#include "runschema.h"

#include "sqlerror.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace quorvale {

namespace {

// Step N brings version N - 1 to N; version 0 is the empty database. %ID% is the dialect's
// self-numbering key, %NEWKEY% a fresh random identity per row.
// clang-format off
const std::vector<const char*> Steps[RunsSchemaVersion] = {{
    "CREATE TABLE quorvale_schema (version INTEGER NOT NULL)",
    "CREATE TABLE runs ("
    " id %ID%,"
    " state TEXT NOT NULL CHECK (state IN ('open', 'finished')),"
    " started_at BIGINT NOT NULL,"
    " started_offset INTEGER NOT NULL,"
    " readings_are_deviations BOOLEAN NOT NULL DEFAULT FALSE,"
    " last_number INTEGER NOT NULL DEFAULT 0,"
    " part_number TEXT NOT NULL, customer_name TEXT NOT NULL, description TEXT NOT NULL,"
    " inspector TEXT NOT NULL, operation_number TEXT NOT NULL, date_inspector TEXT NOT NULL,"
    " date_approved_by TEXT NOT NULL, approved_by TEXT NOT NULL, department TEXT NOT NULL,"
    " drawing_revision TEXT NOT NULL, run_chart_revision TEXT NOT NULL, upper_tolerance TEXT NOT NULL,"
    " lower_tolerance TEXT NOT NULL, frequency TEXT NOT NULL, check_dimension TEXT NOT NULL,"
    " inspection_tool TEXT NOT NULL, sheet TEXT NOT NULL, sheet_of TEXT NOT NULL, comments TEXT NOT NULL)",
    "CREATE TABLE readings ("
    " run_id BIGINT NOT NULL REFERENCES runs (id),"
    " number INTEGER NOT NULL,"
    " logged_at BIGINT NOT NULL,"
    " utc_offset INTEGER NOT NULL,"
    " value_text TEXT NOT NULL,"
    " value_number DOUBLE PRECISION NOT NULL,"
    " PRIMARY KEY (run_id, number))",
    // What an edit or a removal replaced: the reading as it was before.
    "CREATE TABLE reading_changes ("
    " run_id BIGINT NOT NULL REFERENCES runs (id),"
    " number INTEGER NOT NULL,"
    " change TEXT NOT NULL CHECK (change IN ('edited', 'removed', 'restored')),"
    " changed_at BIGINT NOT NULL,"
    " changed_offset INTEGER NOT NULL,"
    " old_logged_at BIGINT,"
    " old_utc_offset INTEGER,"
    " old_value TEXT)",
    "CREATE INDEX runs_by_start ON runs (started_at)",
    "INSERT INTO quorvale_schema (version) VALUES (0)",
}, {
    // Runs and readings are known by identities made where they were made; the rows that were
    // there before get fresh ones. Every change applied is kept under its own identity, so a
    // second copy of it finds it there and changes nothing.
    "ALTER TABLE runs ADD COLUMN run_key TEXT",
    "UPDATE runs SET run_key = %NEWKEY%",
    "CREATE UNIQUE INDEX runs_by_key ON runs (run_key)",
    "ALTER TABLE readings ADD COLUMN reading_key TEXT",
    "UPDATE readings SET reading_key = %NEWKEY%",
    "CREATE UNIQUE INDEX readings_by_key ON readings (reading_key)",
    "ALTER TABLE reading_changes ADD COLUMN reading_key TEXT",
    "UPDATE reading_changes SET reading_key = (SELECT readings.reading_key FROM readings"
    " WHERE readings.run_id = reading_changes.run_id AND readings.number = reading_changes.number)",
    "CREATE TABLE run_changes ("
    " change_id TEXT PRIMARY KEY,"
    " run_key TEXT NOT NULL,"
    " kind TEXT NOT NULL,"
    " made_at BIGINT NOT NULL,"
    " made_offset INTEGER NOT NULL)",
}};
// clang-format on

QStringList tableNames(QSqlDatabase& database, bool server, QString& why)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    const QString sql = server ? QStringLiteral("SELECT table_name FROM information_schema.tables"
                                                " WHERE table_schema = current_schema()")
                               : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
    QStringList names;
    if (!query.exec(sql)) {
        why = SqlReason(query.lastError());
        return {};
    }
    while (query.next())
        names << query.value(0).toString();
    return names;
}

// The version the tables are at: 0 for an empty database, -1 (with the reason) when the tables are
// not Quorvale's or cannot be read.
int schemaVersion(QSqlDatabase& database, bool server, QString& why)
{
    const QStringList names = tableNames(database, server, why);
    if (!why.isEmpty())
        return -1;
    if (names.isEmpty())
        return 0;
    if (!names.contains(QStringLiteral("quorvale_schema"))) {
        why = QStringLiteral("it holds other tables than Quorvale's runs, and is left as it is");
        return -1;
    }
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM quorvale_schema")) || !query.next()) {
        why = SqlReason(query.lastError());
        return -1;
    }
    return query.value(0).toInt();
}

QString newerSchema(int version)
{
    return QStringLiteral(
               "it was made by a newer Quorvale (schema version %1; this one knows %2), and is left as it is")
        .arg(version)
        .arg(RunsSchemaVersion);
}

bool run(QSqlDatabase& database, const QString& sql, QString& why)
{
    QSqlQuery query(database);
    if (query.exec(sql))
        return true;
    why = SqlReason(query.lastError());
    return false;
}

// Applies the steps after the version found, in one transaction; another program making the tables
// at the same moment waits for it (SQLite's write lock, a server-wide lock on PostgreSQL).
QString upgrade(QSqlDatabase& database, bool server, int target)
{
    QString why;
    const QString begin = server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE");
    if (!run(database, begin, why))
        return why;
    if (server && !run(database, QStringLiteral("SELECT pg_advisory_xact_lock(5174202)"), why))
        return why;
    const int found = schemaVersion(database, server, why);
    for (int step = std::max(found, 0); why.isEmpty() && step < target; ++step) {
        for (const char* statement : Steps[step]) {
            QString sql = QString::fromLatin1(statement);
            sql.replace(QLatin1String("%ID%"),
                        server ? QLatin1String("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                               : QLatin1String("INTEGER PRIMARY KEY"));
            sql.replace(QLatin1String("%NEWKEY%"), server
                                                       ? QLatin1String("md5(random()::text || clock_timestamp()::text)")
                                                       : QLatin1String("lower(hex(randomblob(16)))"));
            if (!run(database, sql, why))
                break;
        }
        if (why.isEmpty())
            run(database, QStringLiteral("UPDATE quorvale_schema SET version = %1").arg(step + 1), why);
    }
    if (why.isEmpty() && found > RunsSchemaVersion)
        why = newerSchema(found);
    if (why.isEmpty() && run(database, QStringLiteral("COMMIT"), why))
        return {};
    QString ignored;
    run(database, QStringLiteral("ROLLBACK"), ignored);
    return why;
}

} // namespace

QString PrepareRunsSchema(QSqlDatabase& database, bool server, int target)
{
    QString why;
    const int version = schemaVersion(database, server, why);
    if (version < 0)
        return why;
    if (version > RunsSchemaVersion)
        return newerSchema(version);
    // A new file is made a write-ahead log before its first table; a database of ours already is one.
    if (!server && !run(database, QStringLiteral("PRAGMA journal_mode = WAL"), why))
        return why;
    return version >= target ? QString() : upgrade(database, server, target);
}

} // namespace quorvale

#include "runschema.h"

#include "sqlerror.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include <vector>

namespace quorvale {

namespace {

Result failure(const QSqlQuery& query)
{
    return SqlFailure(query.lastError());
}

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
}, {
    // The rules a run's signals are found by, the inspector's choice kept with the run.
    "ALTER TABLE runs ADD COLUMN run_rules TEXT NOT NULL DEFAULT 'shift and trend'"
    " CHECK (run_rules IN ('shift and trend', 'anhoj'))",
}};
// clang-format on

// Another program's mark on a SQLite file: its application id or its user version.
Result foreignMark(QSqlDatabase& database)
{
    for (const char* pragma : {"application_id", "user_version"}) {
        QSqlQuery query(database);
        if (!query.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(pragma))) || !query.next())
            return failure(query);
        if (const qint64 mark = query.value(0).toLongLong(); mark != 0)
            return Result::failure(QStringLiteral("it is marked as another program's (%1 %2), and is left as it is")
                                       .arg(QString::fromLatin1(pragma).replace(QLatin1Char('_'), QLatin1Char(' ')))
                                       .arg(mark)
                                       .toStdString());
    }
    return {};
}

// Every table and view, whether or not this user may read it.
Result relationNames(QSqlDatabase& database, bool server, QStringList& names)
{
    QSqlQuery query(database);
    query.setForwardOnly(true);
    const QString sql = server ? QStringLiteral("SELECT c.relname FROM pg_catalog.pg_class c"
                                                " JOIN pg_catalog.pg_namespace n ON n.oid = c.relnamespace"
                                                " WHERE n.nspname = current_schema() AND c.relkind IN"
                                                " ('r', 'v', 'm', 'f', 'p')")
                               : QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view')"
                                                " AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
    names.clear();
    if (!query.exec(sql))
        return failure(query);
    while (query.next())
        names << query.value(0).toString();
    return {};
}

// The version the tables are at: 0 for an empty database; a failure when the database holds what is
// not Quorvale's or cannot be read.
Result schemaVersion(QSqlDatabase& database, bool server, int& version)
{
    version = 0;
    if (!server) {
        if (Result marked = foreignMark(database); !marked)
            return marked;
    }
    QStringList names;
    if (Result listed = relationNames(database, server, names); !listed)
        return listed;
    if (names.isEmpty())
        return {};
    if (!names.contains(QStringLiteral("quorvale_schema")))
        return Result::failure("it holds other tables than Quorvale's runs, and is left as it is");
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM quorvale_schema")) || !query.next())
        return failure(query);
    if (query.value(0).isNull())
        return Result::failure("its table quorvale_schema holds no version, and it is left as it is");
    version = query.value(0).toInt();
    return {};
}

Result newerSchema(int version)
{
    return Result::failure(QStringLiteral("it was made by a newer Quorvale (schema version %1; this one knows %2), "
                                          "and is left as it is")
                               .arg(version)
                               .arg(RunsSchemaVersion)
                               .toStdString());
}

Result run(QSqlDatabase& database, const QString& sql)
{
    QSqlQuery query(database);
    return query.exec(sql) ? Result{} : failure(query);
}

// Applies the steps after the version found, in one transaction; another program making the tables
// at the same moment waits for it (SQLite's write lock, a server-wide lock on PostgreSQL).
Result upgrade(QSqlDatabase& database, bool server, int target)
{
    Result result = run(database, server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    if (!result)
        return result;
    if (server)
        result = run(database, QStringLiteral("SELECT pg_advisory_xact_lock(5174202)"));
    int found = 0;
    if (result)
        result = schemaVersion(database, server, found);
    for (int step = found; result && step < target; ++step) {
        for (const char* statement : Steps[step]) {
            QString sql = QString::fromLatin1(statement);
            sql.replace(QLatin1String("%ID%"),
                        server ? QLatin1String("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                               : QLatin1String("INTEGER PRIMARY KEY"));
            sql.replace(QLatin1String("%NEWKEY%"), server
                                                       ? QLatin1String("md5(random()::text || clock_timestamp()::text)")
                                                       : QLatin1String("lower(hex(randomblob(16)))"));
            if (!(result = run(database, sql)))
                break;
        }
        if (result)
            result = run(database, QStringLiteral("UPDATE quorvale_schema SET version = %1").arg(step + 1));
    }
    if (result && found > RunsSchemaVersion)
        result = newerSchema(found);
    if (result && (result = run(database, QStringLiteral("COMMIT"))))
        return result;
    run(database, QStringLiteral("ROLLBACK"));
    return result;
}

// On a server the runs live in a schema of their own, so that whatever else the database holds,
// readable by this user or not, is neither taken over nor in the way. Tables an earlier Quorvale made
// in the user's current schema move there, once, under the lock; an open that finds the schema there
// commits nothing.
Result useOwnSchema(QSqlDatabase& database)
{
    const QString exists = QStringLiteral("SELECT EXISTS (SELECT 1 FROM pg_catalog.pg_namespace WHERE nspname = "
                                          "'quorvale'), to_regclass('quorvale_schema') IS NOT NULL");
    QSqlQuery found(database);
    if (!found.exec(exists) || !found.next())
        return failure(found);
    if (!found.value(0).toBool()) {
        Result result = run(database, QStringLiteral("BEGIN"));
        if (result)
            result = run(database, QStringLiteral("SELECT pg_advisory_xact_lock(5174202)"));
        if (result && (!found.exec(exists) || !found.next()))
            result = failure(found);
        if (result && !found.value(0).toBool()) {
            result = run(database, QStringLiteral("CREATE SCHEMA quorvale"));
            for (const char* table : {"quorvale_schema", "runs", "readings", "reading_changes", "run_changes"}) {
                if (result && found.value(1).toBool())
                    result = run(database, QStringLiteral("ALTER TABLE IF EXISTS %1 SET SCHEMA quorvale").arg(table));
            }
        }
        found.finish();
        if (result)
            result = run(database, QStringLiteral("COMMIT"));
        if (!result) {
            run(database, QStringLiteral("ROLLBACK"));
            return result;
        }
    }
    return run(database, QStringLiteral("SET search_path TO quorvale"));
}

} // namespace

Result PrepareRunsSchema(QSqlDatabase& database, bool server, int target)
{
    if (server) {
        if (Result own = useOwnSchema(database); !own)
            return own;
    }
    int version = 0;
    if (Result read = schemaVersion(database, server, version); !read)
        return read;
    if (version > RunsSchemaVersion)
        return newerSchema(version);
    // A new file is made a write-ahead log before its first table; a database of ours already is one.
    if (!server) {
        if (Result logged = run(database, QStringLiteral("PRAGMA journal_mode = WAL")); !logged)
            return logged;
    }
    return version >= target ? Result{} : upgrade(database, server, target);
}

} // namespace quorvale

#include "runstore.h"

#include "reading.h"
#include "recordcolumns.h"
#include "runschema.h"
#include "runsdatabase.h"
#include "sqlerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <span>
#include <string_view>

namespace quorvale {

namespace {

// "a, b, c" with each column name wrapped as the pattern says ("%1", ":%1", "%1 = :%1").
std::string recordColumns(const char* pattern)
{
    QStringList parts;
    for (const RecordColumn& column : RecordColumns)
        parts << QString::fromLatin1(pattern).arg(QLatin1String(column.name));
    return parts.join(QLatin1String(", ")).toStdString();
}

const std::string CreateRunSql = "INSERT INTO runs (run_key, state, started_at, started_offset, "
                                 "readings_are_deviations, run_rules, " +
                                 recordColumns("%1") +
                                 ") VALUES (:key, 'open', :started_at, :started_offset, :deviations, :rules, " +
                                 recordColumns(":%1") + ") RETURNING id";
const std::string UpdateRecordSql = "UPDATE runs SET readings_are_deviations = :deviations, run_rules = :rules, " +
                                    recordColumns("%1 = :%1") + " WHERE id = :id";
const std::string LoadRunSql = "SELECT run_key, state, started_at, started_offset, last_number, "
                               "readings_are_deviations, run_rules, " +
                               recordColumns("%1") + " FROM runs WHERE id = :id";

// The rules as the column holds them.
const QString AnhojRules = QStringLiteral("anhoj");
const QString ShiftAndTrendRules = QStringLiteral("shift and trend");

void bindRecord(QSqlQuery& query, const RunChartRecord& record)
{
    for (const RecordColumn& column : RecordColumns)
        query.bindValue(QLatin1Char(':') + QLatin1String(column.name), QString::fromStdString(record.*column.field));
    query.bindValue(QStringLiteral(":deviations"), record.ReadingsAreDeviations);
    query.bindValue(QStringLiteral(":rules"), record.Rules == RunRules::Anhoj ? AnhojRules : ShiftAndTrendRules);
}

const char* const InsertReadingSql = "INSERT INTO readings (run_id, number, logged_at, utc_offset, value_text,"
                                     " value_number, reading_key) VALUES (:id, :number, :at, :offset, :text, :value,"
                                     " :key)";

// Binds what the insert and the edit of a reading name; the value is a storable reading.
void bindReading(QSqlQuery& query, RunId id, const StoredReading& stored)
{
    query.bindValue(QStringLiteral(":id"), qint64(id));
    query.bindValue(QStringLiteral(":number"), stored.number);
    query.bindValue(QStringLiteral(":at"), qint64(stored.reading.loggedAt.at));
    query.bindValue(QStringLiteral(":offset"), stored.reading.loggedAt.utcOffset);
    query.bindValue(QStringLiteral(":text"), QString::fromStdString(stored.reading.value.text()));
    query.bindValue(QStringLiteral(":value"), stored.reading.value.number());
    query.bindValue(QStringLiteral(":key"), QString::fromStdString(stored.key));
}

const char* kindName(RunChangeKind kind)
{
    switch (kind) {
    case RunChangeKind::StartRun:
        return "start";
    case RunChangeKind::LogReading:
        return "log";
    case RunChangeKind::EditReading:
        return "edit";
    case RunChangeKind::RemoveReading:
        return "remove";
    case RunChangeKind::PutBackReading:
        return "put back";
    case RunChangeKind::ChangeRecord:
        return "record";
    case RunChangeKind::Finish:
        return "finish";
    }
    return "?";
}

class StoreCategoryType final : public std::error_category {
public:
    const char* name() const noexcept override { return "quorvale runs"; }
    std::string message(int error) const override
    {
        return StoreError(error) == StoreError::Refused ? "the database refuses the change"
                                                        : "the database may or may not have taken the change";
    }
};

QString runText(RunId id)
{
    return QStringLiteral("there is no run %1").arg(id);
}

// libpq's settings that bound every wait on the network, unless the address sets them itself: a
// server that does not answer fails the connection, a peer that vanished is found by the keepalives.
QString boundedWaits(const QString& options)
{
    QStringList bounded;
    for (const char* setting : {"connect_timeout='10'", "keepalives='1'", "keepalives_idle='30'",
                                "keepalives_interval='10'", "keepalives_count='3'", "tcp_user_timeout='30000'"}) {
        const QString text = QString::fromLatin1(setting);
        if (!options.contains(text.left(text.indexOf(QLatin1Char('=')) + 1)))
            bounded << text;
    }
    if (!options.isEmpty())
        bounded << options;
    return bounded.join(QLatin1Char(';'));
}

// A statement waits for a lock or runs at most this long, then fails instead of holding the caller.
const char* const ServerSessionSettings[] = {"SET statement_timeout = 30000", "SET lock_timeout = 10000"};
// Every commit reaches the disk before it returns, so a power cut loses no logged reading.
const char* const FileSessionSettings[] = {"PRAGMA synchronous = FULL", "PRAGMA foreign_keys = ON"};

// Connects the named connection, ready for the runs.
Result connect(const QString& connection, const QString& database, bool server)
{
    QSqlDatabase db =
        QSqlDatabase::addDatabase(server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), connection);
    if (!db.isValid())
        return Result::failure(std::string("Qt's ") + (server ? "PostgreSQL" : "SQLite") + " driver is not installed");
    if (server) {
        ServerAddress address;
        if (Result parsed = ParseServerAddress(database, address); !parsed)
            return parsed;
        db.setHostName(address.host);
        db.setPort(address.port);
        db.setDatabaseName(address.databaseName);
        db.setUserName(address.user);
        db.setPassword(address.password);
        QString options = boundedWaits(address.options);
        if (!address.service.isEmpty())
            options += QStringLiteral(";service='%1'").arg(address.service);
        db.setConnectOptions(options);
    } else {
        if (Result named = CheckDatabaseName(database); !named)
            return named;
        const QFileInfo file(database);
        if (file.isDir())
            return Result::failure("it is a folder");
        if (!file.dir().exists())
            return Result::failure(QStringLiteral("the folder %1 does not exist")
                                       .arg(QDir::toNativeSeparators(file.absolutePath()))
                                       .toStdString());
        db.setDatabaseName(database);
        // Another program writing waits its turn instead of failing at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=30000"));
    }
    if (!db.open())
        return SqlFailure(db.lastError());
    for (const char* setting : server ? std::span(ServerSessionSettings) : std::span(FileSessionSettings)) {
        QSqlQuery query(db);
        if (!query.exec(QString::fromLatin1(setting)))
            return SqlFailure(query.lastError());
    }
    return PrepareRunsSchema(db, server);
}

} // namespace

const std::error_category& StoreCategory()
{
    static const StoreCategoryType category;
    return category;
}

bool IsStorableReading(const Decimal& value)
{
    return !value.empty() && ReadingInRange(value);
}

std::unique_ptr<RunStore> RunStore::open(const QString& database, QString& why)
{
    static std::atomic<int> connections = 0;
    const QString connection = QStringLiteral("quorvale-runs-%1").arg(++connections);
    const bool server = IsServerDatabase(database);
    if (const Result connected = connect(connection, database, server); !connected) {
        QSqlDatabase::removeDatabase(connection);
        why = QStringLiteral("The runs database %1 cannot be used: %2.")
                  .arg(DescribeDatabase(database), QString::fromStdString(connected.reason));
        return nullptr;
    }
    return std::unique_ptr<RunStore>(new RunStore(connection, DescribeDatabase(database), server));
}

RunStore::RunStore(QString connection, QString description, bool server)
    : m_connection(std::move(connection)), m_description(std::move(description)), m_server(server)
{
}

RunStore::~RunStore()
{
    qDeleteAll(m_statements);
    m_statements.clear();
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlQuery& RunStore::statement(const char* sql)
{
    QSqlQuery*& query = m_statements[sql];
    if (!query) {
        query = new QSqlQuery(QSqlDatabase::database(m_connection, false));
        query->setForwardOnly(true);
        query->prepare(QString::fromUtf8(sql));
    }
    return *query;
}

Result RunStore::failure(const QString& why) const
{
    return Result::failure(QStringLiteral("The runs database %1: %2.").arg(m_description, why).toStdString());
}

Result RunStore::notAReading(const std::string& value) const
{
    return refusal(QStringLiteral("\"%1\" is not a reading").arg(QString::fromStdString(value)));
}

Result RunStore::refusal(const QString& why) const
{
    Result result = failure(why);
    result.error = StoreError::Refused;
    return result;
}

Result RunStore::failure(const QSqlQuery& query) const
{
    return failure(QString::fromStdString(SqlFailure(query.lastError()).reason));
}

template <class Body> Result RunStore::inTransaction(Body body)
{
    QSqlQuery control(QSqlDatabase::database(m_connection, false));
    // SQLite takes its write lock at BEGIN, so two writers queue instead of one failing at its first write.
    if (!control.exec(m_server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return failure(control);
    Result result = body();
    if (result && !control.exec(QStringLiteral("COMMIT"))) {
        // The answer to COMMIT is all that tells whether it happened: without it, nobody knows.
        result = failure(control);
        result.error = StoreError::OutcomeUnknown;
    }
    if (!result)
        control.exec(QStringLiteral("ROLLBACK"));
    return result;
}

Result RunStore::createRun(const RunChartRecord& record, Moment started, RunId& id)
{
    return createRunIn(record, started, NewIdentity(), id);
}

Result RunStore::createRunIn(const RunChartRecord& record, Moment started, const std::string& key, RunId& id)
{
    QSqlQuery& query = statement(CreateRunSql.c_str());
    query.bindValue(QStringLiteral(":key"), QString::fromStdString(key));
    query.bindValue(QStringLiteral(":started_at"), qint64(started.at));
    query.bindValue(QStringLiteral(":started_offset"), started.utcOffset);
    bindRecord(query, record);
    if (!query.exec() || !query.next())
        return failure(query);
    id = query.value(0).toLongLong();
    query.finish();
    return {};
}

Result RunStore::updateRecord(RunId id, const RunChartRecord& record)
{
    QSqlQuery& query = statement(UpdateRecordSql.c_str());
    bindRecord(query, record);
    query.bindValue(QStringLiteral(":id"), qint64(id));
    if (!query.exec())
        return failure(query);
    return query.numRowsAffected() == 1 ? Result{} : failure(runText(id));
}

Result RunStore::finish(RunId id)
{
    QSqlQuery& query = statement("UPDATE runs SET state = 'finished' WHERE id = :id");
    query.bindValue(QStringLiteral(":id"), qint64(id));
    if (!query.exec())
        return failure(query);
    return query.numRowsAffected() == 1 ? Result{} : failure(runText(id));
}

Result RunStore::logReadings(RunId id, const std::vector<Decimal>& values, Moment loggedAt, std::vector<int>& numbers)
{
    numbers.clear();
    for (const Decimal& value : values) {
        if (!IsStorableReading(value))
            return notAReading(value.text());
    }
    std::vector<StoredReading> readings;
    for (const Decimal& value : values)
        readings.push_back({0, {loggedAt, value}, NewIdentity()});
    return inTransaction([&] { return logIn(id, readings, numbers); });
}

Result RunStore::logIn(RunId id, const std::vector<StoredReading>& readings, std::vector<int>& numbers)
{
    // Counting up the run's last number locks its row until the commit: two programs logging into
    // one run take their numbers one after the other.
    QSqlQuery& reserve = statement("UPDATE runs SET last_number = last_number + :count, state = 'open'"
                                   " WHERE id = :id RETURNING last_number");
    reserve.bindValue(QStringLiteral(":count"), int(readings.size()));
    reserve.bindValue(QStringLiteral(":id"), qint64(id));
    if (!reserve.exec())
        return failure(reserve);
    if (!reserve.next())
        return failure(runText(id));
    int number = reserve.value(0).toInt() - int(readings.size());
    reserve.finish();
    QSqlQuery& insert = statement(InsertReadingSql);
    for (StoredReading reading : readings) {
        reading.number = ++number;
        bindReading(insert, id, reading);
        if (!insert.exec())
            return failure(insert);
        numbers.push_back(number);
    }
    return {};
}

Result RunStore::logReading(RunId id, const Decimal& value, Moment loggedAt, int& number)
{
    std::vector<int> numbers;
    const Result result = logReadings(id, {value}, loggedAt, numbers);
    if (result)
        number = numbers.front();
    return result;
}

Result RunStore::findReading(RunId id, int number, StoredReading& reading)
{
    QSqlQuery& query = statement("SELECT logged_at, utc_offset, value_text, reading_key FROM readings"
                                 " WHERE run_id = :id AND number = :number");
    query.bindValue(QStringLiteral(":id"), qint64(id));
    query.bindValue(QStringLiteral(":number"), number);
    if (!query.exec())
        return failure(query);
    if (!query.next())
        return failure(QStringLiteral("run %1 has no reading %2").arg(id).arg(number));
    const std::string text = query.value(2).toString().toStdString();
    const auto value = Decimal::parse(text);
    if (!value)
        return notAReading(text);
    reading = {number,
               {{query.value(0).toLongLong(), query.value(1).toInt()}, *value},
               query.value(3).toString().toStdString()};
    query.finish();
    return {};
}

Result RunStore::recordChange(RunId id, const StoredReading& old, const char* change, Moment changedAt)
{
    QSqlQuery& query = statement("INSERT INTO reading_changes (run_id, number, change, changed_at, changed_offset,"
                                 " old_logged_at, old_utc_offset, old_value, reading_key) VALUES (:id, :number,"
                                 " :change, :at, :offset, :old_at, :old_offset, :old_value, :key)");
    const bool hadOld = std::string_view(change) != "restored";
    query.bindValue(QStringLiteral(":id"), qint64(id));
    query.bindValue(QStringLiteral(":number"), old.number);
    query.bindValue(QStringLiteral(":change"), QString::fromLatin1(change));
    query.bindValue(QStringLiteral(":at"), qint64(changedAt.at));
    query.bindValue(QStringLiteral(":offset"), changedAt.utcOffset);
    query.bindValue(QStringLiteral(":old_at"), hadOld ? QVariant(qint64(old.reading.loggedAt.at)) : QVariant());
    query.bindValue(QStringLiteral(":old_offset"), hadOld ? QVariant(old.reading.loggedAt.utcOffset) : QVariant());
    query.bindValue(QStringLiteral(":old_value"),
                    hadOld ? QVariant(QString::fromStdString(old.reading.value.text())) : QVariant());
    query.bindValue(QStringLiteral(":key"), QString::fromStdString(old.key));
    return query.exec() ? Result{} : failure(query);
}

Result RunStore::editReading(RunId id, const StoredReading& edited, Moment changedAt)
{
    return inTransaction([&] { return editIn(id, edited, changedAt); });
}

Result RunStore::editIn(RunId id, const StoredReading& edited, Moment changedAt)
{
    if (!IsStorableReading(edited.reading.value))
        return notAReading(edited.reading.value.text());
    StoredReading old;
    if (Result found = findReading(id, edited.number, old); !found)
        return found;
    if (Result recorded = recordChange(id, old, "edited", changedAt); !recorded)
        return recorded;
    QSqlQuery& query = statement("UPDATE readings SET logged_at = :at, utc_offset = :offset, value_text = :text,"
                                 " value_number = :value, reading_key = :key WHERE run_id = :id AND number = :number");
    StoredReading now = edited;
    now.key = old.key;
    bindReading(query, id, now);
    return query.exec() ? Result{} : failure(query);
}

Result RunStore::removeReading(RunId id, int number, Moment changedAt)
{
    return inTransaction([&] { return removeIn(id, number, changedAt); });
}

Result RunStore::removeIn(RunId id, int number, Moment changedAt)
{
    StoredReading old;
    if (Result found = findReading(id, number, old); !found)
        return found;
    if (Result recorded = recordChange(id, old, "removed", changedAt); !recorded)
        return recorded;
    QSqlQuery& query = statement("DELETE FROM readings WHERE run_id = :id AND number = :number");
    query.bindValue(QStringLiteral(":id"), qint64(id));
    query.bindValue(QStringLiteral(":number"), number);
    return query.exec() ? Result{} : failure(query);
}

Result RunStore::restoreReading(RunId id, const StoredReading& reading, Moment changedAt)
{
    return inTransaction([&] { return restoreIn(id, reading, changedAt); });
}

Result RunStore::restoreIn(RunId id, const StoredReading& reading, Moment changedAt)
{
    if (!IsStorableReading(reading.reading.value))
        return notAReading(reading.reading.value.text());
    StoredReading back = reading;
    if (back.key.empty()) {
        // Back under the identity it had when it was removed.
        QSqlQuery& query = statement("SELECT reading_key FROM reading_changes WHERE run_id = :id AND number = :number"
                                     " AND reading_key IS NOT NULL LIMIT 1");
        query.bindValue(QStringLiteral(":id"), qint64(id));
        query.bindValue(QStringLiteral(":number"), reading.number);
        if (!query.exec())
            return failure(query);
        back.key = query.next() ? query.value(0).toString().toStdString() : NewIdentity();
        query.finish();
    }
    QSqlQuery& insert = statement(InsertReadingSql);
    bindReading(insert, id, back);
    if (!insert.exec())
        return failure(insert);
    return recordChange(id, reading, "restored", changedAt);
}

Result RunStore::apply(std::span<const RunChange> changes)
{
    return inTransaction([&]() -> Result {
        for (const RunChange& change : changes) {
            // The change's identity goes in first: a second copy finds it there and is passed over.
            QSqlQuery& taken = statement("INSERT INTO run_changes (change_id, run_key, kind, made_at, made_offset)"
                                         " VALUES (:id, :run, :kind, :at, :offset) ON CONFLICT (change_id) DO NOTHING");
            taken.bindValue(QStringLiteral(":id"), QString::fromStdString(change.id));
            taken.bindValue(QStringLiteral(":run"), QString::fromStdString(change.runKey));
            taken.bindValue(QStringLiteral(":kind"), QString::fromLatin1(kindName(change.kind)));
            taken.bindValue(QStringLiteral(":at"), qint64(change.at.at));
            taken.bindValue(QStringLiteral(":offset"), change.at.utcOffset);
            if (!taken.exec())
                return failure(taken);
            if (taken.numRowsAffected() == 0)
                continue;
            if (Result applied = applyOne(change); !applied)
                return applied;
        }
        return {};
    });
}

Result RunStore::applyOne(const RunChange& change)
{
    RunId id = 0;
    if (change.kind == RunChangeKind::StartRun)
        return createRunIn(change.record, change.at, change.runKey, id);
    if (Result found = runOf(change, id); !found)
        return found;
    const StoredReading reading{0, change.reading, change.readingKey};
    int number = 0;
    switch (change.kind) {
    case RunChangeKind::StartRun:
        break;
    case RunChangeKind::LogReading: {
        if (!IsStorableReading(reading.reading.value))
            return notAReading(reading.reading.value.text());
        std::vector<int> numbers;
        return logIn(id, {reading}, numbers);
    }
    case RunChangeKind::EditReading:
        if (Result found = numberOf(id, change, number); !found)
            return found;
        return editIn(id, {number, change.reading, change.readingKey}, change.at);
    case RunChangeKind::RemoveReading:
        if (Result found = numberOf(id, change, number); !found)
            return found;
        return removeIn(id, number, change.at);
    case RunChangeKind::PutBackReading:
        if (Result found = numberOf(id, change, number); !found)
            return found;
        return restoreIn(id, {number, change.reading, change.readingKey}, change.at);
    case RunChangeKind::ChangeRecord:
        return updateRecord(id, change.record);
    case RunChangeKind::Finish:
        return finish(id);
    }
    return {};
}

Result RunStore::runOf(const RunChange& change, RunId& id)
{
    std::optional<RunId> found;
    if (Result looked = findRun(change.runKey, found); !looked)
        return looked;
    if (!found)
        return refusal(QStringLiteral("there is no run %1").arg(QString::fromStdString(change.runKey)));
    id = *found;
    return {};
}

// A reading keeps its number for life: one that was removed finds it in the run's changes.
Result RunStore::numberOf(RunId id, const RunChange& change, int& number)
{
    QSqlQuery& query =
        statement(change.kind == RunChangeKind::PutBackReading
                      ? "SELECT number FROM reading_changes WHERE run_id = :id AND reading_key = :key LIMIT 1"
                      : "SELECT number FROM readings WHERE run_id = :id AND reading_key = :key");
    query.bindValue(QStringLiteral(":id"), qint64(id));
    query.bindValue(QStringLiteral(":key"), QString::fromStdString(change.readingKey));
    if (!query.exec())
        return failure(query);
    if (!query.next())
        return refusal(QStringLiteral("run %1 has no reading %2")
                           .arg(QString::fromStdString(change.runKey), QString::fromStdString(change.readingKey)));
    number = query.value(0).toInt();
    query.finish();
    return {};
}

Result RunStore::runKey(RunId id, std::string& key)
{
    QSqlQuery& query = statement("SELECT run_key FROM runs WHERE id = :id");
    query.bindValue(QStringLiteral(":id"), qint64(id));
    if (!query.exec())
        return failure(query);
    if (!query.next())
        return failure(runText(id));
    key = query.value(0).toString().toStdString();
    query.finish();
    return {};
}

Result RunStore::findRun(const std::string& key, std::optional<RunId>& id)
{
    QSqlQuery& query = statement("SELECT id FROM runs WHERE run_key = :key");
    query.bindValue(QStringLiteral(":key"), QString::fromStdString(key));
    if (!query.exec())
        return failure(query);
    id.reset();
    if (query.next())
        id = query.value(0).toLongLong();
    query.finish();
    return {};
}

Result RunStore::listRuns(std::vector<RunSummary>& runs)
{
    QSqlQuery& query =
        statement("SELECT id, state, started_at, started_offset,"
                  " (SELECT COUNT(*) FROM readings WHERE readings.run_id = runs.id),"
                  " part_number, customer_name, operation_number, check_dimension, inspector,"
                  " (SELECT logged_at FROM readings WHERE readings.run_id = runs.id ORDER BY number DESC LIMIT 1),"
                  " (SELECT utc_offset FROM readings WHERE readings.run_id = runs.id ORDER BY number DESC LIMIT 1)"
                  " FROM runs ORDER BY started_at DESC, id DESC");
    if (!query.exec())
        return failure(query);
    runs.clear();
    while (query.next()) {
        RunSummary& run = runs.emplace_back();
        run.id = query.value(0).toLongLong();
        run.finished = query.value(1).toString() == QLatin1String("finished");
        run.started = {query.value(2).toLongLong(), query.value(3).toInt()};
        run.readings = query.value(4).toInt();
        run.partNumber = query.value(5).toString().toStdString();
        run.customerName = query.value(6).toString().toStdString();
        run.operationNumber = query.value(7).toString().toStdString();
        run.check = query.value(8).toString().toStdString();
        run.inspector = query.value(9).toString().toStdString();
        if (!query.value(10).isNull())
            run.lastReading = Moment{query.value(10).toLongLong(), query.value(11).toInt()};
    }
    query.finish();
    return {};
}

Result RunStore::loadRun(RunId id, StoredRun& run)
{
    QSqlQuery& query = statement(LoadRunSql.c_str());
    query.bindValue(QStringLiteral(":id"), qint64(id));
    if (!query.exec())
        return failure(query);
    if (!query.next())
        return failure(runText(id));
    run = {};
    run.id = id;
    run.key = query.value(0).toString().toStdString();
    run.finished = query.value(1).toString() == QLatin1String("finished");
    run.started = {query.value(2).toLongLong(), query.value(3).toInt()};
    run.lastNumber = query.value(4).toInt();
    run.record.ReadingsAreDeviations = query.value(5).toBool();
    run.record.Rules = query.value(6).toString() == AnhojRules ? RunRules::Anhoj : RunRules::ShiftAndTrend;
    int field = 7;
    for (const RecordColumn& column : RecordColumns)
        run.record.*column.field = query.value(field++).toString().toStdString();
    query.finish();

    QSqlQuery& readings = statement("SELECT number, logged_at, utc_offset, value_text, reading_key FROM readings"
                                    " WHERE run_id = :id ORDER BY number");
    readings.bindValue(QStringLiteral(":id"), qint64(id));
    if (!readings.exec())
        return failure(readings);
    if (const int rows = readings.size(); rows > 0)
        run.readings.reserve(std::size_t(rows));
    while (readings.next()) {
        const std::string text = readings.value(3).toString().toStdString();
        const auto value = Decimal::parse(text);
        if (!value)
            return notAReading(text);
        run.readings.push_back({readings.value(0).toInt(),
                                {{readings.value(1).toLongLong(), readings.value(2).toInt()}, *value},
                                readings.value(4).toString().toStdString()});
    }
    readings.finish();
    return {};
}

Result RunStore::lastRun(std::optional<RunId>& id)
{
    QSqlQuery& query = statement("SELECT id FROM runs ORDER BY started_at DESC, id DESC LIMIT 1");
    if (!query.exec())
        return failure(query);
    id.reset();
    if (query.next())
        id = query.value(0).toLongLong();
    query.finish();
    return {};
}

} // namespace quorvale

// The runs: every run chart record with its readings, kept in a SQLite file or on a PostgreSQL
// server through Qt SQL. Windows and commands speak to it in the program's words; no SQL leaves
// this folder. Every call that changes something is one transaction, committed before it returns.
#pragma once

#include "moment.h"
#include "result.h"
#include "runchange.h"
#include "runchartrecord.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <vector>

class QSqlQuery;

namespace quorvale {

using RunId = std::int64_t;

struct StoredReading {
    int number = 0; // its number in the run, from 1 in the order logged; kept when others are removed
    Reading reading;
    std::string key = {}; // its identity, made where it was logged; may be left out

    bool operator==(const StoredReading&) const = default;
};

struct RunSummary {
    RunId id = 0;
    bool finished = false;
    Moment started;
    int readings = 0;
    std::string partNumber;
    std::string customerName;
    std::string operationNumber;
    std::string check;
    std::string inspector;
    std::optional<Moment> lastReading; // when the reading logged last was logged; none in an empty run
};

struct StoredRun {
    RunId id = 0;
    std::string key;       // its identity, made where it was started
    RunChartRecord record; // the nineteen fields and the deviations choice; its Readings are not used
    bool finished = false;
    Moment started;
    std::vector<StoredReading> readings; // in the order logged
    int lastNumber = 0;                  // the number the run's last reading was given, removed or not
};

class RunStore final {
public:
    // Opens the database named as ChooseRunsDatabase names it, making the SQLite file and its tables
    // on first use. Null, with a message that names the database and the reason, when it cannot.
    static std::unique_ptr<RunStore> open(const QString& database, QString& why);
    ~RunStore();
    RunStore(const RunStore&) = delete;
    RunStore& operator=(const RunStore&) = delete;

    // The file's path or the server, without its password: what messages call the database.
    const QString& description() const { return m_description; }

    // A new open run with the record's fields and its choice of deviations.
    Result createRun(const RunChartRecord& record, Moment started, RunId& id);
    Result updateRecord(RunId id, const RunChartRecord& record);
    // A finished run takes readings again, and is then open until it is finished again.
    Result finish(RunId id);

    // Logs the values in one transaction, all or none, each numbered after the run's last reading
    // whoever else logs into the run; the numbers given are in the order of the values.
    Result logReadings(RunId id, const std::vector<Decimal>& values, Moment loggedAt, std::vector<int>& numbers);
    Result logReading(RunId id, const Decimal& value, Moment loggedAt, int& number);
    // Edits and removals keep the reading as it was in the run's changes.
    Result editReading(RunId id, const StoredReading& edited, Moment changedAt);
    Result removeReading(RunId id, int number, Moment changedAt);
    // Puts a removed reading back under its number (an undone removal).
    Result restoreReading(RunId id, const StoredReading& reading, Moment changedAt);

    // Applies the changes in order in one transaction, all or none. A change whose identity the
    // store has taken before is passed over: sending a change again, however often, is harmless.
    Result apply(std::span<const RunChange> changes);
    // The run started with this identity; none when there is no such run.
    Result findRun(const std::string& key, std::optional<RunId>& id);
    // The identity of run id.
    Result runKey(RunId id, std::string& key);

    // Every run, the newest first.
    Result listRuns(std::vector<RunSummary>& runs);
    Result loadRun(RunId id, StoredRun& run);
    // The run started last; none in an empty database.
    Result lastRun(std::optional<RunId>& id);

private:
    RunStore(QString connection, QString description, bool server);
    // A prepared statement, made once per store.
    QSqlQuery& statement(const char* sql);
    Result failure(const QSqlQuery& query) const;
    Result failure(const QString& why) const;
    Result notAReading(const std::string& value) const;
    // A failure that sending the change again cannot mend.
    Result refusal(const QString& why) const;
    // Runs body between BEGIN and COMMIT; rolls back when it or the commit fails.
    template <class Body> Result inTransaction(Body body);
    // The steps of the changes, inside a transaction.
    Result applyOne(const RunChange& change);
    Result createRunIn(const RunChartRecord& record, Moment started, const std::string& key, RunId& id);
    Result logIn(RunId id, const std::vector<StoredReading>& readings, std::vector<int>& numbers);
    Result editIn(RunId id, const StoredReading& edited, Moment changedAt);
    Result removeIn(RunId id, int number, Moment changedAt);
    Result restoreIn(RunId id, const StoredReading& reading, Moment changedAt);
    Result recordChange(RunId id, const StoredReading& old, const char* change, Moment changedAt);
    Result findReading(RunId id, int number, StoredReading& reading);
    Result runOf(const RunChange& change, RunId& id);
    Result numberOf(RunId id, const RunChange& change, int& number);

    QString m_connection;
    QString m_description;
    bool m_server;
    QHash<const char*, QSqlQuery*> m_statements;
};

// What a failed call of the store tells beyond its reason: that the database may have committed
// the change although it did not say so (the answer to COMMIT was lost), or that it refuses the
// change for good (no such run or reading, no reading's value): sending it again cannot help.
enum class StoreError { OutcomeUnknown = 1, Refused };
const std::error_category& StoreCategory();
inline std::error_code make_error_code(StoreError error)
{
    return {int(error), StoreCategory()};
}

// Whether the store keeps the value as a reading: a number within ±LargestReading.
bool IsStorableReading(const Decimal& value);

} // namespace quorvale

template <> struct std::is_error_code_enum<quorvale::StoreError> : std::true_type {
};

// The store on both backends: records, readings and their changes, the list, and readings logged
// by several processes at once or by one that is killed.
#include "readingof.h"
#include "runstext.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <set>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class RunStoreTest : public ::testing::TestWithParam<Backend> {
protected:
    RunsDatabase m_database{GetParam()};
    std::unique_ptr<RunStore> m_store = m_database.open();

    RunId newRun(const std::string& part = "R24 G198", Moment started = {1'796'000'000, 3600})
    {
        RunChartRecord record = DefaultRunChartRecord();
        record.PartNumber = part;
        RunId id = 0;
        const Result created = m_store->createRun(record, started, id);
        EXPECT_TRUE(created) << created.reason;
        return id;
    }

    StoredRun load(RunId id)
    {
        StoredRun run;
        const Result loaded = m_store->loadRun(id, run);
        EXPECT_TRUE(loaded) << loaded.reason;
        return run;
    }

    // The run's readings as numbers, times and values, without the identities the store made.
    std::vector<StoredReading> readings(RunId id)
    {
        std::vector<StoredReading> readings = load(id).readings;
        for (StoredReading& reading : readings) {
            EXPECT_EQ(reading.key.size(), 32u);
            reading.key.clear();
        }
        return readings;
    }
};

// Every field its own text, with what a text box may hold: line breaks, quotes, non-ASCII letters.
RunChartRecord distinctRecord()
{
    RunChartRecord record;
    int field = 0;
    for (std::string* text :
         {&record.PartNumber, &record.CustomerName, &record.Description, &record.Inspector, &record.OperationNumber,
          &record.DateInspector, &record.DateApprovedBy, &record.ApprovedBy, &record.Department,
          &record.DrawingRevision, &record.RunChartRevision, &record.UpperTolerance, &record.LowerTolerance,
          &record.Frequency, &record.Check, &record.InspectionTool, &record.Sheet, &record.SheetOf, &record.Comments})
        *text = "field " + std::to_string(++field) + " 'Łódź' \"x\";\r\n";
    return record;
}

void expectSameRecord(const RunChartRecord& actual, const RunChartRecord& expected)
{
    RunChartRecord a = actual;
    RunChartRecord e = expected;
    a.Readings.clear();
    e.Readings.clear();
    EXPECT_EQ(a.PartNumber, e.PartNumber);
    EXPECT_EQ(a.Comments, e.Comments);
    EXPECT_EQ(a.Check, e.Check);
    EXPECT_TRUE(a.CustomerName == e.CustomerName && a.Description == e.Description && a.Inspector == e.Inspector &&
                a.OperationNumber == e.OperationNumber && a.DateInspector == e.DateInspector &&
                a.DateApprovedBy == e.DateApprovedBy && a.ApprovedBy == e.ApprovedBy && a.Department == e.Department &&
                a.DrawingRevision == e.DrawingRevision && a.RunChartRevision == e.RunChartRevision &&
                a.UpperTolerance == e.UpperTolerance && a.LowerTolerance == e.LowerTolerance &&
                a.Frequency == e.Frequency && a.InspectionTool == e.InspectionTool && a.Sheet == e.Sheet &&
                a.SheetOf == e.SheetOf);
}

TEST_P(RunStoreTest, KeepsTheRecordAndTheRunsState)
{
    const RunChartRecord record = distinctRecord();
    RunId id = 0;
    ASSERT_TRUE(m_store->createRun(record, {1'796'000'000, -18000}, id));
    StoredRun run = load(id);
    expectSameRecord(run.record, record);
    EXPECT_EQ(run.started, (Moment{1'796'000'000, -18000}));
    EXPECT_FALSE(run.finished);
    EXPECT_FALSE(run.record.ReadingsAreDeviations);

    RunChartRecord edited = record;
    edited.Check = "25.000";
    edited.Comments.clear();
    edited.ReadingsAreDeviations = true;
    ASSERT_TRUE(m_store->updateRecord(id, edited));
    ASSERT_TRUE(m_store->finish(id));
    run = load(id);
    expectSameRecord(run.record, edited);
    EXPECT_TRUE(run.record.ReadingsAreDeviations);
    EXPECT_TRUE(run.finished);

    // A finished run that takes a reading is open again.
    int number = 0;
    ASSERT_TRUE(m_store->logReading(id, DecimalOf("0.5"), Moment::now(), number));
    EXPECT_FALSE(load(id).finished);

    const Result unknown = m_store->updateRecord(id + 1, edited);
    EXPECT_FALSE(unknown);
    EXPECT_NE(unknown.reason.find("there is no run " + std::to_string(id + 1)), std::string::npos) << unknown.reason;
    StoredRun none;
    EXPECT_FALSE(m_store->loadRun(id + 1, none));
    EXPECT_FALSE(m_store->finish(id + 1));
}

TEST_P(RunStoreTest, ReadingsKeepTheirNumberTimeAndValueAcrossReopening)
{
    const RunId id = newRun();
    const std::vector<StoredReading> logged = {
        {1, ReadingOf(1'796'000'000, -18000, "-0.005")},
        {2, ReadingOf(1'796'000'061, 19800, "+1.5")},
        {3, ReadingOf(1'796'003'600, 0, "25.013")},
    };
    for (const StoredReading& reading : logged) {
        int number = 0;
        ASSERT_TRUE(m_store->logReading(id, reading.reading.value, reading.reading.loggedAt, number));
        EXPECT_EQ(number, reading.number);
    }
    m_store = m_database.open();
    EXPECT_EQ(readings(id), logged);

    // All or nothing: one value that is no reading logs none of them.
    std::vector<int> numbers;
    const Result refused =
        m_store->logReadings(id, {DecimalOf("1"), DecimalOf("1000000001"), DecimalOf("2")}, Moment::now(), numbers);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.reason.find("\"1000000001\" is not a reading"), std::string::npos) << refused.reason;
    EXPECT_FALSE(m_store->logReadings(id + 1, {DecimalOf("1")}, Moment::now(), numbers));
    EXPECT_EQ(readings(id), logged);

    ASSERT_TRUE(m_store->logReadings(id, {DecimalOf("1"), DecimalOf("2")}, Moment::now(), numbers));
    EXPECT_EQ(numbers, (std::vector<int>{4, 5}));
    EXPECT_EQ(
        m_database.rows(QStringLiteral("SELECT value_number FROM readings WHERE number = 2")).at(0).at(0).toDouble(),
        1.5);
}

TEST_P(RunStoreTest, EditsAndRemovalsKeepTheEarlierReading)
{
    const RunId id = newRun();
    int number = 0;
    for (const char* value : {"0.1", "0.2", "0.3"})
        ASSERT_TRUE(m_store->logReading(id, DecimalOf(value), {1'796'000'000, 3600}, number));

    const Moment changed{1'796'100'000, 3600};
    ASSERT_TRUE(m_store->editReading(id, {2, ReadingOf(1'796'000'100, 3600, "0.25")}, changed));
    ASSERT_TRUE(m_store->removeReading(id, 1, changed));
    EXPECT_FALSE(m_store->removeReading(id, 1, changed)) << "removed twice";
    EXPECT_FALSE(m_store->editReading(id, {2, ReadingOf(0, 0, "1000000001")}, changed));
    EXPECT_EQ(readings(id), (std::vector<StoredReading>{{2, ReadingOf(1'796'000'100, 3600, "0.25")},
                                                        {3, ReadingOf(1'796'000'000, 3600, "0.3")}}));
    // A removed reading's number is never given again; an undone removal takes it back.
    ASSERT_TRUE(m_store->logReading(id, DecimalOf("0.4"), changed, number));
    EXPECT_EQ(number, 4);
    ASSERT_TRUE(m_store->restoreReading(id, {1, ReadingOf(1'796'000'000, 3600, "0.1")}, changed));
    EXPECT_EQ(readings(id).front(), (StoredReading{1, ReadingOf(1'796'000'000, 3600, "0.1")}));

    const auto changes = m_database.rows(QStringLiteral("SELECT number, change, changed_at, old_logged_at, old_value "
                                                        "FROM reading_changes ORDER BY changed_at, change"));
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0], (QVariantList{2, "edited", 1'796'100'000, 1'796'000'000, "0.2"}));
    EXPECT_EQ(changes[1], (QVariantList{1, "removed", 1'796'100'000, 1'796'000'000, "0.1"}));
    EXPECT_EQ(changes[2].at(1).toString(), QStringLiteral("restored"));
}

TEST_P(RunStoreTest, ListsTheRunsNewestFirst)
{
    std::optional<RunId> last;
    ASSERT_TRUE(m_store->lastRun(last));
    EXPECT_FALSE(last);

    const RunId older = newRun("older\tpart", {1'796'000'000, 3600});
    const RunId newer = newRun("newer", {1'796'000'500, 3600});
    int number = 0;
    ASSERT_TRUE(m_store->logReading(older, DecimalOf("1"), Moment::now(), number));
    ASSERT_TRUE(m_store->logReading(older, DecimalOf("2"), {1'796'000'100, -18000}, number));
    ASSERT_TRUE(m_store->finish(older));

    std::vector<RunSummary> runs;
    ASSERT_TRUE(m_store->listRuns(runs));
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(RunListLine(runs[0]), std::to_string(newer) + "\topen\t2026-11-30T02:01:40+01:00\t0\tnewer\n");
    EXPECT_EQ(RunListLine(runs[1]), std::to_string(older) + "\tfinished\t2026-11-30T01:53:20+01:00\t2\tolder part\n");
    EXPECT_EQ(runs[1].customerName, "M/S Brenholt Consulting ");
    // What tells two runs of one part apart in Open Run.
    const RunChartRecord record = DefaultRunChartRecord();
    EXPECT_EQ(runs[1].operationNumber, record.OperationNumber);
    EXPECT_EQ(runs[1].check, record.Check);
    EXPECT_EQ(runs[1].inspector, record.Inspector);
    EXPECT_EQ(runs[1].lastReading, (Moment{1'796'000'100, -18000}));
    EXPECT_FALSE(runs[0].lastReading);
    ASSERT_TRUE(m_store->lastRun(last));
    EXPECT_EQ(last, newer);
}

RunChange change(RunChangeKind kind, const std::string& runKey, std::int64_t at, const std::string& readingKey = {},
                 const std::string& value = {})
{
    RunChange made{NewIdentity(),
                   runKey,
                   kind,
                   {at, 3600},
                   readingKey,
                   {{at, 3600}, Decimal::parse(value).value_or(Decimal())},
                   {}};
    if (kind == RunChangeKind::StartRun || kind == RunChangeKind::ChangeRecord) {
        made.record = distinctRecord();
        made.record.PartNumber = "made at " + std::to_string(at);
    }
    return made;
}

TEST_P(RunStoreTest, EveryChangeIsTakenOnceHoweverOftenItIsSent)
{
    const std::string run = NewIdentity();
    const std::string first = NewIdentity();
    const std::string second = NewIdentity();
    const std::vector<RunChange> changes = {
        change(RunChangeKind::StartRun, run, 1'796'000'000),
        change(RunChangeKind::LogReading, run, 1'796'000'010, first, "0.1"),
        change(RunChangeKind::LogReading, run, 1'796'000'020, second, "0.2"),
        change(RunChangeKind::EditReading, run, 1'796'000'030, first, "0.15"),
        change(RunChangeKind::RemoveReading, run, 1'796'000'040, second),
        change(RunChangeKind::PutBackReading, run, 1'796'000'050, second, "0.2"),
        change(RunChangeKind::ChangeRecord, run, 1'796'000'060),
        change(RunChangeKind::Finish, run, 1'796'000'070),
    };
    // One by one, then all again in one transaction, then one by one again: a replay of any length.
    for (int round = 0; round < 3; ++round) {
        if (round == 1) {
            const Result applied = m_store->apply(changes);
            ASSERT_TRUE(applied) << applied.reason;
            continue;
        }
        for (const RunChange& each : changes) {
            const Result applied = m_store->apply({&each, 1});
            ASSERT_TRUE(applied) << applied.reason;
        }
    }

    std::optional<RunId> id;
    ASSERT_TRUE(m_store->findRun(run, id));
    ASSERT_TRUE(id);
    const StoredRun stored = load(*id);
    EXPECT_EQ(stored.key, run);
    EXPECT_EQ(stored.started, (Moment{1'796'000'000, 3600}));
    EXPECT_EQ(stored.record.PartNumber, "made at 1796000060");
    EXPECT_TRUE(stored.finished);
    EXPECT_EQ(stored.readings, (std::vector<StoredReading>{{1, ReadingOf(1'796'000'030, 3600, "0.15"), first},
                                                           {2, ReadingOf(1'796'000'050, 3600, "0.2"), second}}));
    // Edits and removals keep what they replaced, as the windows' changes always did.
    EXPECT_EQ(m_database.rows(QStringLiteral("SELECT number, change, changed_at, COALESCE(old_value, '-'), "
                                             "reading_key FROM reading_changes ORDER BY changed_at")),
              (std::vector<QVariantList>{{1, "edited", 1'796'000'030, "0.1", QString::fromStdString(first)},
                                         {2, "removed", 1'796'000'040, "0.2", QString::fromStdString(second)},
                                         {2, "restored", 1'796'000'050, "-", QString::fromStdString(second)}}));
    const auto taken = m_database.rows(QStringLiteral("SELECT change_id, made_at FROM run_changes ORDER BY made_at"));
    ASSERT_EQ(taken.size(), changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i)
        EXPECT_EQ(taken[i], (QVariantList{QString::fromStdString(changes[i].id), qint64(changes[i].at.at)}));

    // All or none: a change that cannot be made takes the others of its transaction with it, and
    // their identities stay free for the next try.
    const std::vector<RunChange> batch = {change(RunChangeKind::LogReading, run, 1'796'000'080, NewIdentity(), "0.3"),
                                          change(RunChangeKind::EditReading, run, 1'796'000'090, "unknown", "0.4")};
    const Result refused = m_store->apply(batch);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.reason.find("has no reading unknown"), std::string::npos) << refused.reason;
    EXPECT_EQ(load(*id).readings.size(), 2u);
    ASSERT_TRUE(m_store->apply({batch.data(), 1}));
    EXPECT_EQ(load(*id).readings.back().number, 3);
}

TEST_P(RunStoreTest, AnOlderDatabaseIsUpgradedInPlace)
{
    RunsDatabase older(GetParam());
    older.makeSchema(1);
    older.rows(QStringLiteral("INSERT INTO runs (id, state, started_at, started_offset, part_number, customer_name,"
                              " description, inspector, operation_number, date_inspector, date_approved_by,"
                              " approved_by, department, drawing_revision, run_chart_revision, upper_tolerance,"
                              " lower_tolerance, frequency, check_dimension, inspection_tool, sheet, sheet_of,"
                              " comments, last_number) VALUES (7, 'open', 1796000000, 0, 'P', '', '', '', '', '', '',"
                              " '', '', '', '', '', '', '', '', '', '', '', '', 3)"));
    older.rows(QStringLiteral("INSERT INTO readings (run_id, number, logged_at, utc_offset, value_text, value_number)"
                              " VALUES (7, 1, 1796000001, 0, '0.1', 0.1), (7, 3, 1796000003, 0, '0.3', 0.3)"));
    older.rows(QStringLiteral("INSERT INTO reading_changes (run_id, number, change, changed_at, changed_offset,"
                              " old_logged_at, old_utc_offset, old_value) VALUES (7, 2, 'removed', 1796000009, 0,"
                              " 1796000002, 0, '0.2')"));

    m_store = older.open();
    ASSERT_TRUE(m_store);
    EXPECT_EQ(older.rows(QStringLiteral("SELECT version FROM quorvale_schema")), (std::vector<QVariantList>{{3}}));
    const StoredRun run = load(7);
    ASSERT_EQ(run.readings.size(), 2u);
    EXPECT_EQ(run.key.size(), 32u);
    EXPECT_NE(run.readings[0].key, run.readings[1].key);
    EXPECT_EQ(run.readings[1].key.size(), 32u);
    EXPECT_EQ(run.readings[1].reading, ReadingOf(1'796'000'003, 0, "0.3"));

    // The changes of this Quorvale find the run and its readings by the identities it was given.
    const std::vector<RunChange> changes = {
        change(RunChangeKind::EditReading, run.key, 1'796'000'010, run.readings[1].key, "0.35"),
        change(RunChangeKind::LogReading, run.key, 1'796'000'011, NewIdentity(), "0.4")};
    ASSERT_TRUE(m_store->apply(changes));
    EXPECT_EQ(readings(7), (std::vector<StoredReading>{{1, ReadingOf(1'796'000'001, 0, "0.1")},
                                                       {3, ReadingOf(1'796'000'010, 3600, "0.35")},
                                                       {4, ReadingOf(1'796'000'011, 3600, "0.4")}}));

    // The run rules came with the last step: the older run keeps the default, and a choice of
    // Anhøj's is kept like any change of the record.
    EXPECT_EQ(run.record.Rules, RunRules::ShiftAndTrend);
    RunChange rules = change(RunChangeKind::ChangeRecord, run.key, 1'796'000'012);
    rules.record.Rules = RunRules::Anhoj;
    ASSERT_TRUE(m_store->apply({&rules, 1}));
    EXPECT_EQ(load(7).record.Rules, RunRules::Anhoj);
    EXPECT_EQ(older.rows(QStringLiteral("SELECT run_rules FROM runs")), (std::vector<QVariantList>{{"anhoj"}}));
}

// A logger process started with its standard output on a pipe.
struct Logger {
    pid_t pid = -1;
    std::FILE* output = nullptr;
};

Logger startLogger(const QString& database, RunId run, int count, int first)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::string name = database.toStdString();
    const std::string runText = std::to_string(run);
    const std::string countText = std::to_string(count);
    const std::string firstText = std::to_string(first);
    char* argv[] = {const_cast<char*>(RUNS_LOGGER),       name.data(),
                    const_cast<char*>(runText.c_str()),   const_cast<char*>(countText.c_str()),
                    const_cast<char*>(firstText.c_str()), nullptr};
    Logger logger;
    if (posix_spawn(&logger.pid, RUNS_LOGGER, &actions, nullptr, argv, environ) != 0)
        logger.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    logger.output = fdopen(pipeEnds[0], "r");
    return logger;
}

int exitStatus(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_P(RunStoreTest, FourProcessesLogIntoOneRunEachReadingOnce)
{
    const RunId id = newRun();
    std::vector<Logger> loggers;
    for (int process = 0; process < 4; ++process)
        loggers.push_back(startLogger(m_database.name(), id, 250, process * 1000));
    for (const Logger& logger : loggers) {
        ASSERT_GT(logger.pid, 0);
        char line[64];
        while (std::fgets(line, sizeof line, logger.output)) {
        }
        std::fclose(logger.output);
        EXPECT_EQ(exitStatus(logger.pid), 0);
    }

    const StoredRun run = load(id);
    std::set<std::string> values;
    for (std::size_t i = 0; i < run.readings.size(); ++i) {
        EXPECT_EQ(run.readings[i].number, int(i) + 1);
        values.insert(run.readings[i].reading.value.text());
    }
    EXPECT_EQ(run.readings.size(), 1000u);
    EXPECT_EQ(values.size(), 1000u);
    for (int process = 0; process < 4; ++process) {
        EXPECT_TRUE(values.count(std::to_string(process * 1000)));
        EXPECT_TRUE(values.count(std::to_string(process * 1000 + 249)));
    }
    const std::string csv = ReadingsCsv(run);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1001);
}

TEST_P(RunStoreTest, AKilledLoggerLosesNoReadingItReported)
{
    const RunId id = newRun();
    const Logger logger = startLogger(m_database.name(), id, 1'000'000, 0);
    ASSERT_GT(logger.pid, 0);
    std::map<int, std::string> reported;
    char line[64];
    while (reported.size() < 40 && std::fgets(line, sizeof line, logger.output)) {
        int number = 0;
        char value[32];
        ASSERT_EQ(std::sscanf(line, "%d %31s", &number, value), 2) << line;
        reported[number] = value;
    }
    kill(logger.pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(logger.pid, &status, 0), logger.pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    std::fclose(logger.output);

    ASSERT_EQ(reported.size(), 40u);
    const StoredRun run = load(id);
    std::map<int, std::string> stored;
    for (const StoredReading& reading : run.readings)
        stored[reading.number] = reading.reading.value.text();
    for (const auto& [number, value] : reported)
        EXPECT_EQ(stored[number], value) << "reading " << number;
    // The database is whole: another program logs on after the killed one.
    int number = 0;
    ASSERT_TRUE(m_store->logReading(id, DecimalOf("7"), Moment::now(), number));
    EXPECT_EQ(number, int(run.readings.size()) + 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, RunStoreTest, ::testing::Values(Backend::SQLite, Backend::PostgreSQL), BackendName);

} // namespace

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
    EXPECT_EQ(load(id).readings, logged);

    // All or nothing: one value that is no reading logs none of them.
    std::vector<int> numbers;
    const Result refused =
        m_store->logReadings(id, {DecimalOf("1"), DecimalOf("1000000001"), DecimalOf("2")}, Moment::now(), numbers);
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.reason.find("\"1000000001\" is not a reading"), std::string::npos) << refused.reason;
    EXPECT_FALSE(m_store->logReadings(id + 1, {DecimalOf("1")}, Moment::now(), numbers));
    EXPECT_EQ(load(id).readings, logged);

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
    EXPECT_EQ(load(id).readings, (std::vector<StoredReading>{{2, ReadingOf(1'796'000'100, 3600, "0.25")},
                                                             {3, ReadingOf(1'796'000'000, 3600, "0.3")}}));
    // A removed reading's number is never given again; an undone removal takes it back.
    ASSERT_TRUE(m_store->logReading(id, DecimalOf("0.4"), changed, number));
    EXPECT_EQ(number, 4);
    ASSERT_TRUE(m_store->restoreReading(id, {1, ReadingOf(1'796'000'000, 3600, "0.1")}, changed));
    EXPECT_EQ(load(id).readings.front(), (StoredReading{1, ReadingOf(1'796'000'000, 3600, "0.1")}));

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

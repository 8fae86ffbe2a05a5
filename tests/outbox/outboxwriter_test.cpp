// The writer against the faults of a shop floor, on SQLite and on a PostgreSQL server of the test's
// own: the server stopped and started again, a backend frozen or SQLite's lock held elsewhere, the
// answer to a COMMIT lost, the writer killed at any step. After each, every change kept in the outbox is in the store
// exactly once, in the order it was made, with its time; and the thread that makes changes never waits.
#include "lostcommitproxy.h"
#include "outbox.h"
#include "outboxwriter.h"
#include "readall.h"
#include "runsdatabase.h"
#include "testchanges.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <memory>
#include <set>
#include <spawn.h>
#include <sys/wait.h>

using namespace quorvale;
using namespace quorvale::test;

namespace {

constexpr int RetryMilliseconds = 50;
constexpr int DrainMilliseconds = 60'000;

std::unique_ptr<Outbox> openOutbox(const QString& folder)
{
    QString why;
    auto outbox = Outbox::open(folder, why);
    EXPECT_TRUE(outbox) << why.toStdString();
    return outbox;
}

void appendAll(Outbox& outbox, const std::vector<RunChange>& changes)
{
    for (const RunChange& change : changes)
        ASSERT_TRUE(outbox.append(change));
}

bool drained(const Outbox& outbox)
{
    return QTest::qWaitFor([&] { return outbox.waitingCount() == 0; }, DrainMilliseconds);
}

// The changes of one run, started and logged into: each is in the store once, the readings in the
// order they were made and with their times.
void expectStoredOnce(const RunsDatabase& database, const std::vector<RunChange>& changes)
{
    std::set<QString> made;
    for (const RunChange& change : changes)
        made.insert(QString::fromStdString(change.id));
    std::set<QString> taken;
    const auto rows = database.rows(QStringLiteral("SELECT change_id FROM run_changes"));
    for (const QVariantList& row : rows)
        taken.insert(row.at(0).toString());
    EXPECT_EQ(rows.size(), changes.size());
    EXPECT_EQ(taken, made);

    const auto readings = database.rows(
        QStringLiteral("SELECT number, logged_at, value_text, reading_key FROM readings ORDER BY number"));
    ASSERT_EQ(readings.size(), changes.size() - 1);
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const RunChange& logged = changes[i + 1];
        EXPECT_EQ(readings[i], (QVariantList{int(i) + 1, qint64(logged.reading.loggedAt.at),
                                             QString::fromStdString(logged.reading.value.text()),
                                             QString::fromStdString(logged.readingKey)}))
            << "reading " << i + 1;
    }
}

QString throughProxy(const QString& database, const LostCommitProxy& proxy)
{
    QString uri = database;
    return uri.replace(QString::fromStdString(Server().folder()), QString::fromStdString(proxy.folder()));
}

class OutboxWriterTest : public ::testing::TestWithParam<Backend> {
protected:
    QTemporaryDir m_folder;
    const QString m_place = m_folder.path() + "/outbox";
    RunsDatabase m_database{GetParam()};
};

TEST_P(OutboxWriterTest, AKillAtAnyStepOfSendingLosesAndDuplicatesNothing)
{
    const std::vector<RunChange> changes = LoggedRun(2000);
    appendAll(*openOutbox(m_place), changes);
    // Killed ever later: before the store is open, inside a transaction, between the commit and
    // the outbox's mark, while the mark is written.
    for (int delay = 0; delay < 400; delay = delay * 2 + 5) {
        pid_t drainer = -1;
        std::string folder = m_place.toStdString();
        std::string database = m_database.name().toStdString();
        char* argv[] = {const_cast<char*>(OUTBOX_DRAINER), folder.data(), database.data(), nullptr};
        ASSERT_EQ(posix_spawn(&drainer, OUTBOX_DRAINER, nullptr, nullptr, argv, environ), 0);
        QTest::qSleep(delay);
        kill(drainer, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(drainer, &status, 0), drainer);
    }
    const auto outbox = openOutbox(m_place);
    OutboxWriter writer(*outbox, m_database.name(), RetryMilliseconds);
    ASSERT_TRUE(drained(*outbox));
    expectStoredOnce(m_database, changes);
}

TEST(OutboxWriter, ChangesWaitWhileTheServerIsStoppedAndGoOutWhenItIsBack)
{
    ASSERT_TRUE(Server().running()) << Server().why();
    QTemporaryDir folder;
    RunsDatabase database(Backend::PostgreSQL);
    const auto outbox = openOutbox(folder.path() + "/outbox");
    OutboxWriter writer(*outbox, database.name(), RetryMilliseconds);
    QSignalSpy reports(&writer, &OutboxWriter::waiting);
    const std::vector<RunChange> changes = LoggedRun(30);
    appendAll(*outbox, {changes.begin(), changes.begin() + 10});
    writer.wake();
    ASSERT_TRUE(drained(*outbox));

    ASSERT_TRUE(Server().stop());
    appendAll(*outbox, {changes.begin() + 10, changes.end()});
    writer.wake();
    // The writer says how many wait, and why.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return !reports.isEmpty() && reports.last().at(0).value<qsizetype>() == 21 &&
                   !reports.last().at(1).toString().isEmpty();
        },
        DrainMilliseconds));
    QTest::qWait(3 * RetryMilliseconds);
    EXPECT_EQ(outbox->waitingCount(), 21u);
    ASSERT_TRUE(Server().start()) << Server().why();
    ASSERT_TRUE(drained(*outbox)) << reports.last().at(1).toString().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return reports.last().at(0).value<qsizetype>() == 0; }, DrainMilliseconds));
    EXPECT_EQ(reports.last().at(1).toString(), QString());
    expectStoredOnce(database, changes);
}

TEST_P(OutboxWriterTest, AFrozenStoreStopsNeitherTheChangesNorTheThreadThatMakesThem)
{
    const auto outbox = openOutbox(m_place);
    OutboxWriter writer(*outbox, m_database.name(), RetryMilliseconds);
    const std::vector<RunChange> changes = LoggedRun(40);
    appendAll(*outbox, {changes.begin(), changes.begin() + 2});
    writer.wake();
    ASSERT_TRUE(drained(*outbox));

    const std::function<void()> thaw = m_database.freeze();
    // A timer on this thread keeps firing while changes are made and the store does not answer.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    qint64 longestAppend = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { longestGap = std::max(longestGap, sinceTick.restart()); });
    sinceTick.start();
    ticks.start(10);
    for (auto change = changes.begin() + 2; change != changes.end(); ++change) {
        QElapsedTimer appending;
        appending.start();
        ASSERT_TRUE(outbox->append(*change));
        writer.wake();
        longestAppend = std::max(longestAppend, appending.elapsed());
        // The append's own sync to the local disk is this thread's by design; the store's wait is not.
        sinceTick.restart();
        QTest::qWait(20);
    }
    ticks.stop();
    EXPECT_LT(longestGap, 100) << "the longest change into the outbox took " << longestAppend << " ms";
    EXPECT_GT(outbox->waitingCount(), 0u);
    thaw();
    ASSERT_TRUE(drained(*outbox));
    expectStoredOnce(m_database, changes);
}

TEST_P(OutboxWriterTest, AChangeTheStoreRefusesForGoodIsSetAsideAndTheRestGoOn)
{
    const auto outbox = openOutbox(m_place);
    const std::vector<RunChange> changes = LoggedRun(6);
    // An edit of a reading the run never had, among the others.
    const RunChange stray = ReadingChange(changes.front().runKey, 9, RunChangeKind::EditReading, "no such reading");
    std::vector<RunChange> sent(changes.begin(), changes.begin() + 3);
    sent.push_back(stray);
    sent.insert(sent.end(), changes.begin() + 3, changes.end());
    appendAll(*outbox, sent);
    OutboxWriter writer(*outbox, m_database.name(), RetryMilliseconds);
    QSignalSpy setAside(&writer, &OutboxWriter::setAside);
    ASSERT_TRUE(drained(*outbox));
    expectStoredOnce(m_database, changes);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !setAside.isEmpty(); }, DrainMilliseconds));
    EXPECT_TRUE(setAside.first().at(0).toString().contains("has no reading no such reading"))
        << setAside.first().at(0).toString().toStdString();

    const QByteArray kept = readAll(outbox->setAsidePath());
    qsizetype offset = 0;
    OutboxRecord record;
    ASSERT_EQ(DecodeRecord(kept, offset, record), RecordEnd::Whole);
    EXPECT_EQ(std::get<RunChange>(record), stray);
    EXPECT_EQ(offset, kept.size());
}

INSTANTIATE_TEST_SUITE_P(Backends, OutboxWriterTest, ::testing::Values(Backend::SQLite, Backend::PostgreSQL),
                         BackendName);

TEST(OutboxWriter, ALostAnswerToCommitStoresEachChangeOnce)
{
    ASSERT_TRUE(Server().running()) << Server().why();
    RunsDatabase database(Backend::PostgreSQL);
    ASSERT_TRUE(database.open()); // its tables made, so that the first COMMIT is a change's
    const std::vector<RunChange> changes = LoggedRun(20);
    {
        // The store cannot tell whether the changes are in: it says so.
        LostCommitProxy proxy(Server().folder());
        QString why;
        const auto store = RunStore::open(throughProxy(database.name(), proxy), why);
        ASSERT_TRUE(store) << why.toStdString();
        const Result applied = store->apply({changes.data(), 10});
        EXPECT_TRUE(proxy.lostAnswer());
        EXPECT_FALSE(applied);
        EXPECT_EQ(applied.error, StoreError::OutcomeUnknown) << applied.reason;
    }
    // The writer meets the same loss, and sends again what it cannot know is in.
    QTemporaryDir folder;
    const auto outbox = openOutbox(folder.path() + "/outbox");
    appendAll(*outbox, changes);
    LostCommitProxy proxy(Server().folder());
    OutboxWriter writer(*outbox, throughProxy(database.name(), proxy), RetryMilliseconds);
    ASSERT_TRUE(drained(*outbox));
    EXPECT_TRUE(proxy.lostAnswer());
    expectStoredOnce(database, changes);
}

} // namespace

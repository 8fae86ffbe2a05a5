// The entry window's run in the database through the outbox: kept as it is logged and back after a
// killed program, opened from the runs kept, undone, asked about, kept through a database that fails
// or a restart while it is away, and refused with its reason when the outbox cannot take it.
#include "databaseidentity.h"
#include "datasheetfile.h"
#include "form1.h"
#include "gaugeconnection.h"
#include "openrunwindow.h"
#include "pseudogauge.h"
#include "readingof.h"
#include "readingsgrid.h"
#include "runkeeper.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "wizard.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace quorvale;

void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// One start of the program's entry window on a database.
struct EntryWindow {
    EntryWindow(ScriptedPlatform& platform, const QString& folder, const QString& database, QDate today = {})
        : sheet(DataSheetFolder{folder.toStdString(), {}}), form(platform, sheet, gauge),
          keeper(form, database, RunsDataFolder{folder, {}}, 50), database(database)
    {
        QObject::connect(&gauge, &GaugeConnection::readingReceived, &form, &Form1::logGaugeReading);
        keeper.restore(today.isValid() ? today : QDate(2026, 12, 7));
        form.show();
        grid().setFocus();
    }
    ReadingsGrid& grid() { return form.readingsGrid(); }
    QLineEdit* box(const char* name) { return form.findChild<QLineEdit*>(QLatin1String(name)); }
    QString status() { return grid().findChild<QLabel*>(QStringLiteral("lblGridStatus"))->text(); }
    QString note() { return grid().note(ReadingsGrid::NoteSource::Store); }

    void log(const QString& value)
    {
        QTest::keyClicks(&grid(), value.left(1));
        auto* editor = grid().findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, value.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        settle();
    }
    QStringList values()
    {
        QStringList shown;
        for (const Reading& reading : grid().readings())
            shown << QString::fromStdString(reading.value.text());
        return shown;
    }
    bool drained() const
    {
        return QTest::qWaitFor([&] { return keeper.outbox()->waitingCount() == 0; }, 20000);
    }
    // The window's run as the store holds it, once every change has gone out.
    StoredRun stored()
    {
        EXPECT_TRUE(drained());
        QString why;
        const auto store = RunStore::open(database, why);
        std::optional<RunId> id;
        StoredRun run;
        EXPECT_TRUE(store && store->findRun(form.run().runKey(), id) && id && store->loadRun(*id, run))
            << why.toStdString();
        return run;
    }
    QStringList storedValues()
    {
        QStringList values;
        for (const StoredReading& reading : stored().readings)
            values << QString::fromStdString(reading.reading.value.text());
        return values;
    }

    DataSheetFile sheet;
    GaugeConnection gauge;
    Form1 form;
    RunKeeper keeper;
    QString database;
};

class KeptRun : public testing::Test {
protected:
    QTemporaryDir folder;
    QString database = folder.path() + QStringLiteral("/runs.sqlite");
    ScriptedPlatform platform;
};

TEST_F(KeptRun, AnEmptyStoreStartsAsTodayAndAFinishedRunOffersTheNext)
{
    std::string first;
    {
        EntryWindow window(platform, folder.path(), database);
        EXPECT_TRUE(window.grid().showsSamples());
        EXPECT_EQ(window.box("txtPartNumber")->text(), "R24 G198");

        window.box("txtPartNumber")->setText(QStringLiteral("P-77"));
        window.log(QStringLiteral("0.5"));
        window.log(QStringLiteral("-0,25"));
        first = window.form.run().runKey();
        EXPECT_EQ(window.storedValues(), (QStringList{"0.5", "-0.25"}));
        // Kept once the box is left, before Cancel could end the program; as this run's record, not a new run's.
        platform.answers = {MessageAnswer::No};
        window.box("txtCheck")->setText(QStringLiteral("25.000"));
        emit window.box("txtCheck")->editingFinished();
        EXPECT_EQ(platform.messages().back().noText, "Change this run's record");
        EXPECT_EQ(window.stored().record.Check, "25.000");
        EXPECT_EQ(window.stored().record.PartNumber, "P-77");
        EXPECT_FALSE(window.stored().finished);
        window.box("txtFrequency")->setText(QStringLiteral("1 per 10"));
        emit window.box("txtFrequency")->editingFinished();
        window.form.run().finish();
        EXPECT_TRUE(window.stored().finished);
        EXPECT_EQ(window.stored().record.Frequency, "1 per 10");
        EXPECT_EQ(window.note(), "");
    }
    EntryWindow next(platform, folder.path(), database, QDate(2027, 1, 4));
    EXPECT_TRUE(next.grid().showsSamples());
    EXPECT_EQ(next.box("txtPartNumber")->text(), "P-77");
    EXPECT_EQ(next.box("txtCheck")->text(), "25.000");
    EXPECT_EQ(next.box("txtDateInspector")->text(), "4 Jan 2027");
    EXPECT_EQ(next.box("txtDateApprovedBy")->text(), "4 Jan 2027");
    next.log(QStringLiteral("1"));
    EXPECT_NE(next.form.run().runKey(), first);
    EXPECT_EQ(next.storedValues(), QStringList{"1"});
}

TEST_F(KeptRun, AGaugesReadingsAreKeptAsTypedOnesAre)
{
    test::PseudoGauge gauge(folder.filePath(QStringLiteral("gauge")));
    EntryWindow window(platform, folder.path(), database);
    GaugeSettings settings;
    settings.port = gauge.path();
    window.form.gauge().start(settings);
    ASSERT_TRUE(window.form.gauge().isConnected());

    const auto valuesCome = [&](qsizetype count) {
        return QTest::qWaitFor([&] { return window.values().size() >= count; }, 20000);
    };
    gauge.send("01A+00025.013\r");
    ASSERT_TRUE(valuesCome(1));
    window.log(QStringLiteral("25.010"));
    gauge.send("25,007\r\n");
    ASSERT_TRUE(valuesCome(3));
    EXPECT_EQ(window.storedValues(), (QStringList{"25.013", "25.010", "25.007"}));
}

TEST_F(KeptRun, AKilledProgramComesBackWithItsRecordAndReadingsEachStoredOnce)
{
    QProcess logger;
    logger.start(QStringLiteral(ENTRY_LOGGER), {database, folder.path(), QStringLiteral("5")});
    ASSERT_TRUE(logger.waitForStarted());
    QByteArray said;
    while (!said.contains("logged 5") && logger.waitForReadyRead(20000))
        said += logger.readAllStandardOutput();
    ASSERT_TRUE(said.contains("logged 5")) << said.toStdString();
    kill(pid_t(logger.processId()), SIGKILL);
    ASSERT_TRUE(logger.waitForFinished());

    EntryWindow window(platform, folder.path(), database);
    EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2", "0.3", "0.4", "0.5"}));
    EXPECT_EQ(window.box("txtPartNumber")->text(), "R24 G198");
    // It goes on with the same run; what the killed program sent is not sent twice.
    window.log(QStringLiteral("0.6"));
    EXPECT_EQ(window.storedValues(), (QStringList{"0.1", "0.2", "0.3", "0.4", "0.5", "0.6"}));
}

TEST_F(KeptRun, AStartBringsBackItsOwnRunNotANewerOneOfAnotherStation)
{
    std::string own;
    {
        EntryWindow window(platform, folder.path(), database);
        window.log(QStringLiteral("0.1"));
        own = window.form.run().runKey();
        ASSERT_TRUE(window.drained());
    }
    QString why;
    RunId other = 0;
    ASSERT_TRUE(RunStore::open(database, why)->createRun(DefaultRunChartRecord(), Moment::now(), other));
    EntryWindow again(platform, folder.path(), database);
    EXPECT_EQ(again.form.run().runKey(), own);
    EXPECT_EQ(again.values(), QStringList{"0.1"});
}

TEST_F(KeptRun, OpenRunShowsTheRunsAndFillsTheWindowWithTheChosenOne)
{
    QString why;
    RunId older = 0;
    {
        const auto store = RunStore::open(database, why);
        ASSERT_TRUE(store) << why.toStdString();
        RunChartRecord record = DefaultRunChartRecord();
        record.PartNumber = "BRK-1";
        record.CustomerName = "Acme";
        ASSERT_TRUE(store->createRun(record, {1'796'000'000, 0}, older));
        int number = 0;
        ASSERT_TRUE(store->logReading(older, DecimalOf("0.7"), {1'796'000'000, 0}, number));
        ASSERT_TRUE(store->finish(older));
        record.PartNumber = "SHAFT-2";
        RunId newer = 0;
        ASSERT_TRUE(store->createRun(record, {1'796'100'000, 0}, newer));
    }
    std::string opened;
    {
        // No outbox yet: the newest run comes when the store has read it.
        EntryWindow window(platform, folder.path(), database);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.box("txtPartNumber")->text() == "SHAFT-2"; }, 20000));

        window.form.findChild<QAction*>(QStringLiteral("actOpenRun"))->trigger();
        OpenRunWindow* chooser = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (chooser = window.form.findChild<OpenRunWindow*>()); }, 20000));
        auto* runs = chooser->findChild<QTreeWidget*>(QStringLiteral("lvRuns"));
        ASSERT_EQ(runs->topLevelItemCount(), 2);
        EXPECT_EQ(runs->topLevelItem(0)->text(1), "SHAFT-2");
        EXPECT_EQ(runs->topLevelItem(1)->text(9), "finished");
        EXPECT_EQ(runs->topLevelItem(1)->text(8), "1");
        auto* filter = chooser->findChild<QLineEdit*>(QStringLiteral("txtRunFilter"));
        QTest::keyClick(filter, Qt::Key_Down);
        EXPECT_EQ(runs->currentItem(), runs->topLevelItem(1));
        QTest::keyClick(filter, Qt::Key_Up);
        QTest::keyClicks(filter, QStringLiteral("brk"));
        EXPECT_TRUE(runs->topLevelItem(0)->isHidden());
        QTest::keyClick(filter, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.box("txtPartNumber")->text() == "BRK-1"; }, 20000));
        EXPECT_EQ(window.values(), QStringList{"0.7"});
        // A finished run opened goes on, and is the run the next start shows.
        window.log(QStringLiteral("0.8"));
        EXPECT_EQ(window.storedValues(), (QStringList{"0.7", "0.8"}));
        EXPECT_EQ(window.stored().id, older);
        EXPECT_FALSE(window.stored().finished);
        opened = window.form.run().runKey();
    }
    EntryWindow again(platform, folder.path(), database);
    EXPECT_EQ(again.form.run().runKey(), opened);
    EXPECT_EQ(again.values(), (QStringList{"0.7", "0.8"}));
}

TEST_F(KeptRun, RemovalsAskFirstAndCtrlZUndoesTheLastEditOrRemoval)
{
    EntryWindow window(platform, folder.path(), database);
    for (const char* value : {"0.1", "0.2", "0.3"})
        window.log(QString::fromLatin1(value));
    ReadingsGrid& grid = window.grid();

    grid.selectAll();
    platform.answers = {MessageAnswer::No, MessageAnswer::Yes};
    QTest::keyClick(&grid, Qt::Key_Delete);
    ASSERT_EQ(platform.messages().size(), 1u);
    const Message asked = platform.messages().front();
    EXPECT_EQ(asked.text, "Remove 3 readings?");
    EXPECT_EQ(asked.title, "Quorvale v1.0");
    EXPECT_EQ(asked.icon, MessageIcon::Question);
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_EQ(asked.defaultButton, MessageAnswer::No);
    EXPECT_EQ(window.values().size(), 3);
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_TRUE(grid.showsSamples());
    EXPECT_TRUE(window.storedValues().isEmpty());

    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2", "0.3"}));
    EXPECT_EQ(window.storedValues(), (QStringList{"0.1", "0.2", "0.3"}));

    // One reading goes without a question; an edit is undone as a removal is.
    grid.setCurrentIndex(grid.model()->index(1, 1));
    QTest::keyClick(&grid, Qt::Key_F2);
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("0.25"));
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(window.storedValues(), (QStringList{"0.1", "0.25", "0.3"}));
    grid.setCurrentIndex(grid.model()->index(0, 1));
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(window.storedValues(), (QStringList{"0.25", "0.3"}));
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2", "0.3"}));
    EXPECT_EQ(window.storedValues(), (QStringList{"0.1", "0.2", "0.3"}));
    EXPECT_EQ(platform.messages().size(), 2u);

    platform.answers = {MessageAnswer::No};
    grid.findChild<QAction*>(QStringLiteral("actRestoreSamples"))->trigger();
    EXPECT_EQ(platform.messages().back().text, "Remove 3 readings?");
    EXPECT_FALSE(grid.showsSamples());
}

TEST_F(KeptRun, AReadingTheOutboxCannotTakeIsRefusedWithItsReason)
{
    EntryWindow window(platform, folder.path(), database);
    window.log(QStringLiteral("0.1"));
    ASSERT_TRUE(window.drained());
    // The outbox's disk is full: no byte more may be written.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit full{0, before.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
    window.log(QStringLiteral("0.2"));
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(window.values(), QStringList{"0.1"});
    EXPECT_TRUE(window.note().startsWith("This change was not made. The outbox ")) << window.note().toStdString();
    EXPECT_TRUE(window.note().endsWith("/outbox cannot be written: File too large.")) << window.note().toStdString();
    EXPECT_FALSE(window.form.run().undoStack().canRedo());

    window.log(QStringLiteral("0.3"));
    EXPECT_EQ(window.values(), (QStringList{"0.1", "0.3"}));
    EXPECT_EQ(window.storedValues(), (QStringList{"0.1", "0.3"}));
    EXPECT_EQ(window.note(), "");
}

TEST_F(KeptRun, AChangeTheStoreRefusesIsSetAsideNamedAndHoldsUpNoOther)
{
    EntryWindow window(platform, folder.path(), database);
    window.log(QStringLiteral("0.1"));
    window.log(QStringLiteral("0.2"));
    ASSERT_TRUE(window.drained());
    // The reading goes from the database behind the window's back, as a restored backup loses it.
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(database);
        ASSERT_TRUE(other.open() && QSqlQuery(other).exec(QStringLiteral("DELETE FROM readings WHERE number = 1")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    const RunReading first = window.form.run().readings().front();
    window.form.run().editReading(first.key, ReadingOf(first.reading.loggedAt.at, 0, "0.15"));
    window.log(QStringLiteral("0.3"));
    EXPECT_EQ(window.storedValues(), (QStringList{"0.2", "0.3"}));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window.note().startsWith("A change the runs database refuses is set aside in "); }, 20000))
        << window.note().toStdString();
    EXPECT_TRUE(window.note().contains("/outbox.refused: ")) << window.note().toStdString();
}

TEST_F(KeptRun, FinishOnTheOutputWindowFinishesTheRun)
{
    Wizard wizard(platform, DataSheetFolder{QFile::encodeName(folder.path()).toStdString(), {}}, database,
                  RunsDataFolder{folder.path(), {}});
    ASSERT_TRUE(wizard.start());
    ReadingsGrid& grid = wizard.entryWindow().readingsGrid();
    grid.setFocus();
    QTest::keyClicks(&grid, QStringLiteral("0"));
    QTest::keyClick(grid.findChild<QLineEdit*>(), Qt::Key_Return);
    settle();
    const std::string key = wizard.entryWindow().run().runKey();
    const auto finished = [&] {
        QString why;
        const auto store = RunStore::open(database, why);
        std::optional<RunId> id;
        StoredRun run;
        return store && store->findRun(key, id) && id && store->loadRun(*id, run) && run.finished;
    };
    QTest::mouseClick(wizard.entryWindow().findChild<QPushButton*>(QStringLiteral("cmdNext")), Qt::LeftButton);
    ASSERT_NE(wizard.outputWindow(), nullptr);
    QTest::qWait(200);
    EXPECT_FALSE(finished());
    platform.fileNames = {folder.filePath(QStringLiteral("run.pdf"))};
    QTest::mouseClick(wizard.outputWindow()->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
    platform.answers = {MessageAnswer::No, MessageAnswer::No};
    QTest::mouseClick(wizard.outputWindow()->findChild<QPushButton*>(QStringLiteral("btnConvert")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor(finished, 20000));
}

TEST(KeptRunOnAServer, ChangesWaitInTheOutboxThroughARestartAndReachTheStoreOnceWhenItWorks)
{
    test::PostgresServer& server = test::Server();
    ASSERT_TRUE(server.running()) << server.why();
    QTemporaryDir folder;
    ScriptedPlatform platform;
    // A database not made yet: the login fails until it is.
    const QString database = QString::fromStdString(server.uri("later"));
    {
        EntryWindow window(platform, folder.path(), database);
        window.box("txtPartNumber")->setText(QStringLiteral("P-5"));
        emit window.box("txtPartNumber")->editingFinished();
        window.log(QStringLiteral("0.1"));
        window.log(QStringLiteral("0.2"));
        EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2"}));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.note().startsWith("3 changes wait in the outbox "); }, 20000))
            << window.note().toStdString();
        EXPECT_TRUE(window.note().contains(folder.path() + "/outbox-")) << window.note().toStdString();
        EXPECT_TRUE(window.note().contains("database \"later\" does not exist")) << window.note().toStdString();
    }
    // The next start shows the whole run from the outbox while the server still refuses it.
    EntryWindow again(platform, folder.path(), database);
    EXPECT_EQ(again.values(), (QStringList{"0.1", "0.2"}));
    EXPECT_EQ(again.box("txtPartNumber")->text(), "P-5");
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.note().startsWith("3 changes wait"); }, 20000));

    server.createDatabase("later");
    again.log(QStringLiteral("0.3"));
    const StoredRun run = again.stored();
    EXPECT_EQ(run.record.PartNumber, "P-5");
    ASSERT_EQ(run.readings.size(), 3u);
    EXPECT_EQ(run.readings[0].number, 1);
    EXPECT_EQ(run.readings[2].reading.value.text(), "0.3");
    EXPECT_TRUE(QTest::qWaitFor([&] { return again.note().isEmpty(); }, 20000)) << again.note().toStdString();
}

// A timer on the window's thread: the longest time between two of its ticks.
class Ticks {
public:
    Ticks()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_since.restart()); });
        m_since.start();
        m_timer.start(10);
    }
    qint64 longestGap() const { return m_longest; }
    // Logs a reading. Its sync to the outbox's local disk is the window's by design and may take long
    // on a busy machine, so only a wait on the database (seconds) fails it, and the gap starts after it.
    void log(EntryWindow& window, const char* value)
    {
        QElapsedTimer logging;
        logging.start();
        window.log(QString::fromLatin1(value));
        EXPECT_LT(logging.elapsed(), 1000) << value;
        m_since.restart();
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

TEST(KeptRunOnAServer, AFrozenStoreNeverHoldsTheWindowAndItsChangesWaitUntilItThaws)
{
    const test::RunsDatabase database(test::Backend::PostgreSQL);
    QTemporaryDir folder;
    ScriptedPlatform platform;
    EntryWindow window(platform, folder.path(), database.name());
    window.log(QStringLiteral("0.1"));
    ASSERT_TRUE(window.drained());

    const std::function<void()> thaw = database.freeze();
    Ticks ticks;
    for (const char* value : {"0.2", "0.3", "0.4"}) {
        ticks.log(window, value);
        QTest::qWait(50);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.note().startsWith("3 changes wait in the outbox "); }, 20000));
    EXPECT_TRUE(window.note().contains(" until the runs database takes them. It has not answered for "))
        << window.note().toStdString();
    window.form.findChild<QAction*>(QStringLiteral("actOpenRun"))->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.note() == "Waiting for the runs database to list the runs kept."; },
                                20000));
    EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2", "0.3", "0.4"}));
    EXPECT_LT(ticks.longestGap(), 100);
    EXPECT_EQ(window.keeper.outbox()->waitingCount(), 3u);

    thaw();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.form.findChild<OpenRunWindow*>() != nullptr; }, 20000));
    EXPECT_EQ(window.storedValues(), (QStringList{"0.1", "0.2", "0.3", "0.4"}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.note().isEmpty(); }, 20000)) << window.note().toStdString();
}

TEST_F(KeptRun, APeerThatNeverAnswersLeavesTheWindowFreeAndTheChangesInTheOutboxNamedFromAnyDatabase)
{
    // A server's address whose peer takes the connection and never says a word.
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 16), 0);
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const QString silent =
        QStringLiteral("postgresql://inspector@127.0.0.1:%1/runs?connect_timeout=2").arg(ntohs(address.sin_port));
    {
        // The window comes up without waiting for the connection, which gives up after 2 seconds.
        QElapsedTimer starting;
        starting.start();
        EntryWindow window(platform, folder.path(), silent);
        EXPECT_LT(starting.elapsed(), 1000);
        Ticks ticks;
        ticks.log(window, "0.1");
        ticks.log(window, "0.2");
        EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2"}));
        // Said after a while, then with the reason once the connection gives up.
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.note().startsWith("3 changes wait in the outbox "); }, 20000))
            << window.note().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.note().contains("timeout expired"); }, 20000))
            << window.note().toStdString();
        // Each try waits out the 2 seconds on the writer's thread, never on this one.
        EXPECT_LT(ticks.longestGap(), 1000);
    }
    close(listener);
    DatabaseIdentity identity;
    ASSERT_TRUE(IdentifyDatabase(silent, identity));
    const QString left = folder.path() + "/outbox-" + identity.key();
    // Started on another database, the window names the changes left for that one, and leaves them.
    {
        EntryWindow other(platform, folder.path(), database);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return other.note().contains("3 changes wait in the outbox " + left) &&
                   other.note().contains(" for another runs database.");
        })) << other.note().toStdString();
    }
    QString why;
    const auto outbox = Outbox::open(left, why);
    ASSERT_TRUE(outbox) << why.toStdString();
    EXPECT_EQ(outbox->waitingCount(), 3u);
    ASSERT_TRUE(outbox->openRun());
    EXPECT_EQ(outbox->openRun()->readings.size(), 2u);
}

} // namespace

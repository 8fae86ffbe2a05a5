// The entry window's run in the database: kept as it is logged and back after a killed program,
// opened from the runs kept, undone, asked about, and kept through a database that fails.
#include "datasheetfile.h"
#include "form1.h"
#include "gaugeconnection.h"
#include "openrunwindow.h"
#include "postgresserver.h"
#include "pseudogauge.h"
#include "readingof.h"
#include "readingsgrid.h"
#include "runkeeper.h"
#include "scriptedplatform.h"
#include "wizard.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <csignal>

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
          keeper(form, database, RunsDataFolder{folder, {}})
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
    QFont font(int row) { return grid().model()->index(row, 0).data(Qt::FontRole).value<QFont>(); }

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

    DataSheetFile sheet;
    GaugeConnection gauge;
    Form1 form;
    RunKeeper keeper;
};

class KeptRun : public testing::Test {
protected:
    StoredRun stored(RunId id)
    {
        QString why;
        StoredRun run;
        const auto store = RunStore::open(database, why);
        EXPECT_TRUE(store && store->loadRun(id, run)) << why.toStdString();
        return run;
    }
    QStringList storedValues(RunId id)
    {
        QStringList values;
        for (const StoredReading& reading : stored(id).readings)
            values << QString::fromStdString(reading.reading.value.text());
        return values;
    }

    QTemporaryDir folder;
    QString database = folder.path() + QStringLiteral("/runs.sqlite");
    ScriptedPlatform platform;
};

TEST_F(KeptRun, AnEmptyStoreStartsAsTodayAndAFinishedRunOffersTheNext)
{
    RunId id = 0;
    {
        EntryWindow window(platform, folder.path(), database);
        EXPECT_TRUE(window.grid().showsSamples());
        EXPECT_EQ(window.box("txtPartNumber")->text(), "R24 G198");
        EXPECT_EQ(window.keeper.run(), 0);

        window.box("txtPartNumber")->setText(QStringLiteral("P-77"));
        window.log(QStringLiteral("0.5"));
        window.log(QStringLiteral("-0,25"));
        id = window.keeper.run();
        ASSERT_NE(id, 0);
        EXPECT_EQ(storedValues(id), (QStringList{"0.5", "-0.25"}));
        // Kept once the box is left, before Cancel could end the program; as this run's record, not a new run's.
        platform.answers = {MessageAnswer::No};
        window.box("txtCheck")->setText(QStringLiteral("25.000"));
        emit window.box("txtCheck")->editingFinished();
        EXPECT_EQ(platform.messages().back().noText, "Change this run's record");
        EXPECT_EQ(stored(id).record.Check, "25.000");
        EXPECT_EQ(stored(id).record.PartNumber, "P-77");
        EXPECT_FALSE(stored(id).finished);
        window.box("txtFrequency")->setText(QStringLiteral("1 per 10"));
        emit window.box("txtFrequency")->editingFinished();
        window.form.run().finish();
        EXPECT_TRUE(stored(id).finished);
        EXPECT_EQ(stored(id).record.Frequency, "1 per 10");
    }
    EntryWindow next(platform, folder.path(), database, QDate(2027, 1, 4));
    EXPECT_TRUE(next.grid().showsSamples());
    EXPECT_EQ(next.box("txtPartNumber")->text(), "P-77");
    EXPECT_EQ(next.box("txtCheck")->text(), "25.000");
    EXPECT_EQ(next.box("txtDateInspector")->text(), "4 Jan 2027");
    EXPECT_EQ(next.box("txtDateApprovedBy")->text(), "4 Jan 2027");
    next.log(QStringLiteral("1"));
    EXPECT_NE(next.keeper.run(), id);
    EXPECT_EQ(storedValues(next.keeper.run()), QStringList{"1"});
}

TEST_F(KeptRun, AGaugesReadingsAreKeptAsTypedOnesAre)
{
    test::PseudoGauge gauge(folder.filePath(QStringLiteral("gauge")));
    EntryWindow window(platform, folder.path(), database);
    GaugeSettings settings;
    settings.port = gauge.path();
    window.form.gauge().start(settings);
    ASSERT_TRUE(window.form.gauge().isConnected());

    const auto waitForValues = [&](qsizetype count) {
        for (int waited = 0; window.values().size() < count && waited < 250; ++waited)
            QTest::qWait(20);
    };
    gauge.send("01A+00025.013\r");
    waitForValues(1);
    window.log(QStringLiteral("25.010"));
    gauge.send("25,007\r\n");
    waitForValues(3);
    ASSERT_NE(window.keeper.run(), 0);
    EXPECT_EQ(storedValues(window.keeper.run()), (QStringList{"25.013", "25.010", "25.007"}));
}

TEST_F(KeptRun, AKilledProgramComesBackWithItsRecordAndReadings)
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
    // It goes on with the same run.
    const RunId id = window.keeper.run();
    window.log(QStringLiteral("0.6"));
    EXPECT_EQ(storedValues(id).size(), 6);
}

TEST_F(KeptRun, AStartBringsBackItsOwnRunNotANewerOneOfAnotherStation)
{
    RunId own = 0;
    {
        EntryWindow window(platform, folder.path(), database);
        window.log(QStringLiteral("0.1"));
        own = window.keeper.run();
    }
    QString why;
    RunId other = 0;
    ASSERT_TRUE(RunStore::open(database, why)->createRun(DefaultRunChartRecord(), Moment::now(), other));
    ASSERT_GT(other, own);
    EntryWindow again(platform, folder.path(), database);
    EXPECT_EQ(again.keeper.run(), own);
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
    EntryWindow window(platform, folder.path(), database);
    EXPECT_EQ(window.box("txtPartNumber")->text(), "SHAFT-2");

    window.form.findChild<QAction*>(QStringLiteral("actOpenRun"))->trigger();
    auto* chooser = window.form.findChild<OpenRunWindow*>();
    ASSERT_NE(chooser, nullptr);
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
    settle();

    EXPECT_EQ(window.keeper.run(), older);
    EXPECT_EQ(window.box("txtPartNumber")->text(), "BRK-1");
    EXPECT_EQ(window.values(), QStringList{"0.7"});
    // A finished run opened goes on.
    window.log(QStringLiteral("0.8"));
    EXPECT_EQ(storedValues(older), (QStringList{"0.7", "0.8"}));
    EXPECT_FALSE(stored(older).finished);
}

TEST_F(KeptRun, RemovalsAskFirstAndCtrlZUndoesTheLastEditOrRemoval)
{
    EntryWindow window(platform, folder.path(), database);
    for (const char* value : {"0.1", "0.2", "0.3"})
        window.log(QString::fromLatin1(value));
    const RunId id = window.keeper.run();
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
    EXPECT_TRUE(storedValues(id).isEmpty());

    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2", "0.3"}));
    EXPECT_EQ(storedValues(id), (QStringList{"0.1", "0.2", "0.3"}));

    // One reading goes without a question; an edit is undone as a removal is.
    grid.setCurrentIndex(grid.model()->index(1, 1));
    QTest::keyClick(&grid, Qt::Key_F2);
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("0.25"));
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(storedValues(id), (QStringList{"0.1", "0.25", "0.3"}));
    grid.setCurrentIndex(grid.model()->index(0, 1));
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(storedValues(id), (QStringList{"0.25", "0.3"}));
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2", "0.3"}));
    EXPECT_EQ(storedValues(id), (QStringList{"0.1", "0.2", "0.3"}));
    EXPECT_EQ(platform.messages().size(), 2u);

    platform.answers = {MessageAnswer::No};
    grid.findChild<QAction*>(QStringLiteral("actRestoreSamples"))->trigger();
    EXPECT_EQ(platform.messages().back().text, "Remove 3 readings?");
    EXPECT_FALSE(grid.showsSamples());
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
    std::optional<RunId> run;
    {
        QString why;
        ASSERT_TRUE(RunStore::open(database, why)->lastRun(run));
    }
    ASSERT_TRUE(run);
    QTest::mouseClick(wizard.entryWindow().findChild<QPushButton*>(QStringLiteral("cmdNext")), Qt::LeftButton);
    ASSERT_NE(wizard.outputWindow(), nullptr);
    EXPECT_FALSE(stored(*run).finished);
    platform.fileNames = {folder.filePath(QStringLiteral("run.pdf"))};
    QTest::mouseClick(wizard.outputWindow()->findChild<QPushButton*>(QStringLiteral("btnSave")), Qt::LeftButton);
    platform.answers = {MessageAnswer::No, MessageAnswer::No};
    QTest::mouseClick(wizard.outputWindow()->findChild<QPushButton*>(QStringLiteral("btnConvert")), Qt::LeftButton);
    EXPECT_TRUE(stored(*run).finished);
}

TEST(KeptRunOnAServer, ReadingsTheDatabaseDoesNotTakeStayMarkedAndAreWrittenWhenItWorks)
{
    test::PostgresServer server;
    ASSERT_TRUE(server.running()) << server.why();
    QTemporaryDir folder;
    ScriptedPlatform platform;
    // A database not made yet: the login fails until it is.
    const QString database = QString::fromStdString(server.uri("later"));
    const QString journal = folder.path() + QStringLiteral("/runs.sqlite.unsaved");
    {
        EntryWindow window(platform, folder.path(), database);
        EXPECT_TRUE(window.status().contains("database \"later\" does not exist")) << window.status().toStdString();
        window.box("txtPartNumber")->setText(QStringLiteral("P-5"));
        emit window.box("txtPartNumber")->editingFinished();
        window.log(QStringLiteral("0.1"));
        window.log(QStringLiteral("0.2"));
        EXPECT_EQ(window.values(), (QStringList{"0.1", "0.2"}));
        EXPECT_TRUE(window.font(1).italic());
        EXPECT_EQ(window.grid().model()->index(1, 1).data(Qt::ToolTipRole), "Not saved yet");
        EXPECT_TRUE(window.note().startsWith("2 readings are not saved; they stay here and will be written when the "
                                             "runs database works again. The runs database the server "))
            << window.note().toStdString();
        EXPECT_TRUE(QFile::exists(journal));
    }
    // The next start brings them back from the journal, still marked.
    EntryWindow again(platform, folder.path(), database);
    EXPECT_EQ(again.values(), (QStringList{"0.1", "0.2"}));
    EXPECT_EQ(again.box("txtPartNumber")->text(), "P-5");
    EXPECT_TRUE(again.font(0).italic());

    server.createDatabase("later");
    again.log(QStringLiteral("0.3"));
    EXPECT_EQ(again.note(), "");
    EXPECT_FALSE(again.font(0).italic());
    EXPECT_FALSE(QFile::exists(journal));
    QString why;
    const auto store = RunStore::open(database, why);
    ASSERT_TRUE(store) << why.toStdString();
    StoredRun run;
    ASSERT_TRUE(store->loadRun(again.keeper.run(), run));
    EXPECT_EQ(run.record.PartNumber, "P-5");
    ASSERT_EQ(run.readings.size(), 3u);
    EXPECT_EQ(run.readings[0].number, 1);
    EXPECT_EQ(run.readings[2].reading.value.text(), "0.3");
}

} // namespace

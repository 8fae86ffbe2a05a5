// The whole wizard through its windows: forward, Back, Cancel, the close box and a full run to the outputs.
#include "datasheet.h"
#include "gaugeconnection.h"
#include "keyspage.h"
#include "pseudogauge.h"
#include "readall.h"
#include "readingsgrid.h"
#include "scriptedplatform.h"
#include "wizard.h"
#include "workbookreader.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace quorvale;

using test::readAll;

// The creation date is the only part of a PDF that depends on when it was made.
QByteArray withoutCreationDate(const QByteArray& pdf)
{
    static const QRegularExpression date(QStringLiteral(R"(/CreationDate \(D:\d{14}\))"));
    return QString::fromLatin1(pdf).replace(date, QStringLiteral("/CreationDate (D:)")).toLatin1();
}

class WholeWizard : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(wizard.start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard.entryWindow()));
    }

    QString sheetPath() const { return QString::fromStdString(DataSheetPath(folder.path().toStdString())); }

    template <typename T = QWidget> T* entryControl(const char* name)
    {
        T* found = wizard.entryWindow().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    template <typename T = QWidget> T* outputControl(const char* name)
    {
        EXPECT_NE(wizard.outputWindow(), nullptr);
        T* found = wizard.outputWindow()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void forward()
    {
        click(entryControl("cmdNext"));
        ASSERT_NE(wizard.outputWindow(), nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.outputWindow()));
    }

    // Names the PDF (and so the workbook beside it) through Browse..., then Finish, opening neither.
    void finishInto(const QString& pdf)
    {
        platform.fileNames = {pdf};
        click(outputControl("btnSave"));
        platform.answers = {MessageAnswer::No, MessageAnswer::No};
        click(outputControl("btnConvert"));
    }

    // Lets an unloaded window finish going away.
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    Wizard wizard{platform, DataSheetFolder{QFile::encodeName(folder.path()).toStdString(), {}}};
};

TEST_F(WholeWizard, ForwardHidesTheEntryWindowBehindTheOutputWindow)
{
    forward();
    EXPECT_TRUE(QFile::exists(sheetPath()));
    EXPECT_FALSE(wizard.entryWindow().isVisible());
    EXPECT_TRUE(wizard.outputWindow()->isVisible());
    EXPECT_EQ(outputControl<QLineEdit>("txtFilename")->text(), sheetPath());
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(WholeWizard, F1AndTheGridsMenuShowOneKeysPageBesideTheEntryWindow)
{
    auto* keys = entryControl<QAction>("actKeysPage");
    EXPECT_EQ(keys->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(keys->text(), "Keys and Runs...");
    EXPECT_TRUE(entryControl("lv1")->actions().contains(keys));
    keys->trigger();
    keys->trigger();
    const QList<KeysPage*> pages = wizard.entryWindow().findChildren<KeysPage*>();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0]->isVisible());
    EXPECT_TRUE(wizard.entryWindow().isVisible());
    // This wizard keeps no runs, and the page says so.
    EXPECT_TRUE(pages[0]->findChild<QTextBrowser*>()->toPlainText().contains("no database"));
}

TEST_F(WholeWizard, ClosingTheEntryWindowDeletesTheSheetItWroteOnce)
{
    click(entryControl("Check1"));
    click(entryControl("Check2"));
    platform.answers = {MessageAnswer::Ok};
    click(entryControl("cmdNext"));
    ASSERT_TRUE(QFile::exists(sheetPath()));
    wizard.entryWindow().close();
    EXPECT_FALSE(QFile::exists(sheetPath()));

    // A file that appears later under the name is not the wizard's to delete.
    QFile empty(sheetPath());
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    wizard.entryWindow().close();
    EXPECT_TRUE(QFile::exists(sheetPath()));
}

TEST_F(WholeWizard, AFullRunMakesThePdfTheCommandMakesAndTheWorkbook)
{
    auto* part = entryControl<QLineEdit>("txtPartNumber");
    part->selectAll();
    QTest::keyClicks(part, "BR-2207");
    forward();

    const QString pdf = folder.filePath("bracket.pdf");
    const QString xls = folder.filePath("bracket.xls");
    platform.fileNames = {pdf};
    click(outputControl("btnSave"));
    outputControl<QLineEdit>("txtXlsTitle")->setText("Bracket run");
    platform.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    click(outputControl("btnConvert"));

    EXPECT_EQ(platform.openedDocuments(), (QStringList{pdf, xls}));
    EXPECT_TRUE(platform.ended());
    // Ending at once leaves the data sheet; the command converts it with the same, default, choices.
    ASSERT_TRUE(readAll(sheetPath()).contains("BR-2207"));
    const QString expected = folder.filePath("expected.pdf");
    ASSERT_EQ(QProcess::execute(QUORVALE_BIN_DIR "/quorvale-txt2pdf", {sheetPath(), expected}), 0);
    ASSERT_TRUE(readAll(pdf).startsWith("%PDF-1.2"));
    EXPECT_EQ(withoutCreationDate(readAll(pdf)), withoutCreationDate(readAll(expected)));

    const QJsonObject properties = test::ReadWorkbook(xls.toStdString())["properties"].toObject();
    EXPECT_EQ(properties["title"].toString(), "Bracket run");
    EXPECT_EQ(properties["comments"].toString(), "Excel Comments");
}

// A gauge types into whatever has the focus: each reading's characters, then Enter.
TEST_F(WholeWizard, ReadingsLoggedInTheGridReachTheDataSheetThePdfAndTheWorkbook)
{
    auto* grid = entryControl<ReadingsGrid>("lv1");
    grid->setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(7, 30, 5), Qt::OffsetFromUTC, 3600); });
    wizard.entryWindow().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard.entryWindow()));
    grid->setFocus();
    for (const QString value : {"0.004", "-0,006"}) {
        for (const QChar c : value + '\r')
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        settle();
    }
    forward();

    const QByteArray sheet = readAll(sheetPath());
    EXPECT_TRUE(sheet.contains("\r\n\r\nReadings :\r\n1  2026-12-07 07:30:05  0.004   below lower limit\r\n"
                               "2  2026-12-07 07:30:05  -0.006  below lower limit\r\n\r\n"
                               "Summary : Part R24 G198 - Operation 12 - Check 1.45\r\n"));

    const QString pdf = folder.filePath("bracket.pdf");
    const QString xls = folder.filePath("bracket.xls");
    finishInto(pdf);
    EXPECT_TRUE(readAll(pdf).contains("T* (Readings :"));
    // The readings once, as the table in place of the sheet's list.
    EXPECT_FALSE(readAll(pdf).contains("T* (2  2026-12-07 07:30:05"));
    EXPECT_TRUE(readAll(pdf).contains("(2026-12-07 07:30:05) Tj\r"));
    EXPECT_TRUE(readAll(pdf).contains("(-0.006) Tj\r"));
    EXPECT_TRUE(readAll(pdf).contains("T* (Summary : Part R24 G198 - Operation 12 - Check 1.45"));

    QProcess reader;
    reader.start("/usr/bin/python3", {QUORVALE_SUPPORT_DIR "/readworkbook.py", xls});
    ASSERT_TRUE(reader.waitForFinished(60000));
    const QJsonObject cells = QJsonDocument::fromJson(reader.readAllStandardOutput()).object()["cells"].toObject();
    EXPECT_EQ(cells["B3"]["value"].toDouble(), 0.004);
    EXPECT_EQ(cells["B4"]["value"].toDouble(), -0.006);
    EXPECT_EQ(cells["B2"]["value"].toString(), "Reading");
    EXPECT_EQ(cells["I19"]["value"].toInt(), 2);
    EXPECT_TRUE(cells["B5"].isUndefined());
}

// Alt+N presses the forward button without taking the focus from the grid's open cell: what is typed
// there is logged all the same, and what is no reading keeps the page with the hint.
TEST_F(WholeWizard, LeavingByAKeyLogsTheReadingStillBeingTyped)
{
    auto* grid = entryControl<ReadingsGrid>("lv1");
    auto* next = entryControl<QPushButton>("cmdNext");
    wizard.entryWindow().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard.entryWindow()));
    grid->setFocus();
    for (const char c : std::string("0.0x"))
        QTest::keyClick(QApplication::focusWidget(), c);
    next->click();
    settle();
    EXPECT_EQ(wizard.outputWindow(), nullptr);
    EXPECT_EQ(grid->findChild<QLabel*>("lblReadingHint")->text(), "Type the reading as a number, for example 0.02.");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
    next->click();
    settle();
    ASSERT_NE(wizard.outputWindow(), nullptr);
    EXPECT_TRUE(readAll(sheetPath()).contains("Readings :\r\n1  "));
    ASSERT_EQ(wizard.entryWindow().record().Readings.size(), 1u);
    EXPECT_EQ(wizard.entryWindow().record().Readings[0].value.text(), "0.07");
}

TEST_F(WholeWizard, OnlyPdfLeavesTheExcelFrameDisabled)
{
    click(entryControl("Check2"));
    forward();
    EXPECT_FALSE(outputControl("Frame2")->isEnabled());
    platform.fileNames = {folder.filePath("bracket.pdf")};
    click(outputControl("btnSave"));
    platform.answers = {MessageAnswer::No};
    click(outputControl("btnConvert"));
    EXPECT_TRUE(QFile::exists(folder.filePath("bracket.pdf")));
    EXPECT_FALSE(QFile::exists(folder.filePath("bracket.xls")));
    EXPECT_EQ(platform.messages().size(), 1u);
}

TEST_F(WholeWizard, BackDeletesTheDataSheetAndForwardBuildsAFreshOutputWindow)
{
    auto* part = entryControl<QLineEdit>("txtPartNumber");
    part->setText("BR-2207");
    forward();
    outputControl<QLineEdit>("txtTitle")->setText("Edited");
    platform.fileNames = {folder.filePath("bracket.pdf")};
    click(outputControl("btnSave"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return wizard.outputWindow() == nullptr; }));
    EXPECT_FALSE(QFile::exists(sheetPath()));
    EXPECT_TRUE(wizard.entryWindow().isVisible());
    EXPECT_EQ(part->text(), "BR-2207");
    EXPECT_FALSE(platform.ended());

    forward();
    EXPECT_TRUE(readAll(sheetPath()).contains("BR-2207"));
    EXPECT_EQ(outputControl<QLineEdit>("txtTitle")->text(), "PDF Title");
    EXPECT_TRUE(outputControl<QLineEdit>("txtOutputFile")->text().isEmpty());
    EXPECT_TRUE(outputControl<QLineEdit>("txtXlsOutputFile")->text().isEmpty());
}

// The gauge goes on logging while the output window is open: into the run Finish makes, then, once
// that run is finished, into a new one, which leaves what Finish made as it was.
TEST_F(WholeWizard, GaugeReadingsDuringTheOutputWindowGoIntoTheRunFinishMakesThenIntoANewRun)
{
    test::PseudoGauge gauge(folder.filePath("gauge"));
    GaugeSettings settings;
    settings.port = gauge.path();
    wizard.gauge().start(settings);
    ASSERT_TRUE(wizard.gauge().isConnected());
    forward();
    auto* arrived = outputControl<QLabel>("lblGaugeReadings");
    EXPECT_FALSE(arrived->isVisible());
    gauge.send("01A+00025.013\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived->isVisible(); }));
    EXPECT_EQ(arrived->text(), "1 gauge reading arrived and will be in the PDF and workbook.");
    EXPECT_FALSE(wizard.entryWindow().isVisible());
    EXPECT_TRUE(readAll(sheetPath()).contains("25.013"));

    const QString pdf = folder.filePath("bracket.pdf");
    const QString xls = folder.filePath("bracket.xls");
    finishInto(pdf);
    const QByteArray made = readAll(pdf);
    EXPECT_TRUE(made.contains("(25.013) Tj\r"));
    const auto cells = [&]() -> const QJsonObject { return test::ReadWorkbook(xls.toStdString())["cells"].toObject(); };
    EXPECT_EQ(cells()["B3"]["value"].toDouble(), 25.013);
    RunModel& run = wizard.entryWindow().run();
    const std::string finished = run.runKey();
    EXPECT_TRUE(run.isFinished());

    gauge.send("01A+00025.020\r");
    ASSERT_TRUE(QTest::qWaitFor([&] { return arrived->text().contains("after Finish"); }));
    EXPECT_EQ(arrived->text(), "1 gauge reading arrived and will be in the PDF and workbook. 1 gauge reading after "
                               "Finish: in a new run.");
    EXPECT_NE(run.runKey(), finished);
    EXPECT_FALSE(run.isFinished());
    platform.answers = {MessageAnswer::No, MessageAnswer::No};
    click(outputControl("btnConvert"));
    EXPECT_EQ(withoutCreationDate(readAll(pdf)), withoutCreationDate(made));
    EXPECT_EQ(cells()["B3"]["value"].toDouble(), 25.013);
    EXPECT_TRUE(cells()["B4"].isUndefined());
    EXPECT_FALSE(run.isFinished()) << "Finish finished the new run";

    click(outputControl("cmdBack"));
    settle();
    ASSERT_TRUE(wizard.entryWindow().isVisible());
    ASSERT_EQ(run.readings().size(), 1u);
    EXPECT_EQ(run.readings()[0].reading.value.text(), "25.020");
}

// Cancel's end: the data sheet gone, both windows unloaded, the program ended.
void expectCancelled(Wizard& wizard, const ScriptedPlatform& platform, const QString& sheetPath)
{
    EXPECT_FALSE(QFile::exists(sheetPath));
    EXPECT_EQ(wizard.outputWindow(), nullptr);
    EXPECT_FALSE(wizard.entryWindow().isVisible());
    EXPECT_TRUE(platform.ended());
}

TEST_F(WholeWizard, CancelDeletesTheDataSheetAndEndsTheProgram)
{
    forward();
    click(outputControl("cmdCancel"));
    settle();
    expectCancelled(wizard, platform, sheetPath());
}

TEST_F(WholeWizard, TheCloseBoxDoesWhatCancelDoes)
{
    forward();
    wizard.outputWindow()->close();
    settle();
    expectCancelled(wizard, platform, sheetPath());
}

TEST_F(WholeWizard, ASecondCopyOnTheSameDataSheetSaysSoAndEnds)
{
    ScriptedPlatform secondPlatform;
    secondPlatform.answers = {MessageAnswer::Ok};
    {
        Wizard second{secondPlatform, DataSheetFolder{QFile::encodeName(folder.path()).toStdString(), {}}};
        EXPECT_FALSE(second.start());
        EXPECT_FALSE(second.entryWindow().isVisible());
    }
    ASSERT_EQ(secondPlatform.calls.size(), 1u);
    const Message said = secondPlatform.messages().at(0);
    EXPECT_EQ(said.text, "Quorvale is already running.");
    EXPECT_EQ(said.title, "Quorvale v1.0");
    EXPECT_EQ(said.buttons, MessageButtons::Ok);

    forward(); // the first copy goes on as before
}

// The folder's bytes reach the data sheet and the conversion unchanged, though they are not UTF-8.
TEST(WizardFolder, AFolderNameThatIsNotUtf8KeepsTheDataSheetInIt)
{
    QTemporaryDir base;
    const std::string folder = QFile::encodeName(base.path()).toStdString() + "/runs-\xff\xfe";
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ScriptedPlatform platform;
    Wizard wizard{platform, DataSheetFolder{folder, {}}};
    ASSERT_TRUE(wizard.start());
    QTest::mouseClick(wizard.entryWindow().findChild<QPushButton*>("cmdNext"), Qt::LeftButton);
    ASSERT_NE(wizard.outputWindow(), nullptr);
    const std::string sheet = folder + "/tempchart.txt";
    EXPECT_EQ(access(sheet.c_str(), F_OK), 0);

    const QString pdf = base.filePath("bracket.pdf");
    platform.fileNames = {pdf};
    QTest::mouseClick(wizard.outputWindow()->findChild<QPushButton*>("btnSave"), Qt::LeftButton);
    platform.answers = {MessageAnswer::No, MessageAnswer::No};
    QTest::mouseClick(wizard.outputWindow()->findChild<QPushButton*>("btnConvert"), Qt::LeftButton);
    ASSERT_EQ(platform.messages().size(), 2u);
    EXPECT_TRUE(platform.messages()[0].text.startsWith("RunChart --- PDF --- file is done."));
    EXPECT_TRUE(readAll(pdf).startsWith("%PDF-1.2"));
    std::filesystem::remove_all(folder); // Qt's own clean-up cannot name it
}

TEST_F(WholeWizard, HelpAndBackLeaveTheEntryWindowAsItWasForTheNextForward)
{
    auto* part = entryControl<QLineEdit>("txtPartNumber");
    part->setText("BR-2207");
    click(entryControl("cmdHelp"));
    QWidget* help = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        help = window->objectName() == "frmHelp" && window->isVisible() ? window : help;
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(wizard.entryWindow().isVisible());

    QTest::mouseClick(help, Qt::LeftButton);
    settle();
    ASSERT_TRUE(wizard.entryWindow().isVisible());
    EXPECT_EQ(part->text(), "BR-2207");
    forward();
    EXPECT_TRUE(readAll(sheetPath()).contains("BR-2207"));
}

// However the program ends, the data sheet goes with the wizard: Cancel on the entry window after
// the formats warning, Yes on the workbook question.
TEST(WizardEnd, TheDataSheetGoesHoweverTheProgramEnds)
{
    QTemporaryDir folder;
    const std::string sheet = DataSheetPath(QFile::encodeName(folder.path()).toStdString());
    const auto click = [](QWidget* window, const char* name) {
        QTest::mouseClick(window->findChild<QAbstractButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    };
    const std::function<void(Wizard&, ScriptedPlatform&)> endings[] = {
        [&](Wizard& wizard, ScriptedPlatform& platform) {
            click(&wizard.entryWindow(), "Check1");
            click(&wizard.entryWindow(), "Check2");
            platform.answers = {MessageAnswer::Ok};
            click(&wizard.entryWindow(), "cmdNext");
            click(&wizard.entryWindow(), "cmdCancel");
        },
        [&](Wizard& wizard, ScriptedPlatform& platform) {
            click(&wizard.entryWindow(), "cmdNext");
            platform.fileNames = {folder.filePath("bracket.pdf")};
            click(wizard.outputWindow(), "btnSave");
            platform.answers = {MessageAnswer::No, MessageAnswer::Yes};
            click(wizard.outputWindow(), "btnConvert");
        },
    };
    for (const auto& end : endings) {
        {
            ScriptedPlatform platform;
            Wizard wizard{platform, DataSheetFolder{QFile::encodeName(folder.path()).toStdString(), {}}};
            ASSERT_TRUE(wizard.start());
            end(wizard, platform);
            EXPECT_TRUE(platform.ended());
            EXPECT_EQ(access(sheet.c_str(), F_OK), 0);
        }
        EXPECT_NE(access(sheet.c_str(), F_OK), 0);
    }
}

} // namespace

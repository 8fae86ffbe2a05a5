// The entry window: its controls, the format flags, the forward, Cancel and close paths.
#include "datasheet.h"
#include "datasheetfile.h"
#include "form1.h"
#include "gaugeconnection.h"
#include "readall.h"
#include "readingsgrid.h"
#include "scriptedplatform.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvale;

namespace {

using test::readAll;

class EntryWindow : public testing::Test {
protected:
    EntryWindow() : m_sheet(DataSheetFolder{m_dir.path().toStdString(), {}}), m_form(m_platform, m_sheet, m_gauge) {}

    template <typename T = QWidget> T* control(const char* name)
    {
        auto* widget = m_form.findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString sheetPath() const { return QString::fromStdString(m_sheet.path()); }
    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    QTemporaryDir m_dir;
    ScriptedPlatform m_platform;
    DataSheetFile m_sheet;
    GaugeConnection m_gauge;
    Form1 m_form;
    QSignalSpy m_forward{&m_form, &Form1::forwardRequested};
};

} // namespace

TEST_F(EntryWindow, OpensWithItsCaptionsAndStates)
{
    EXPECT_EQ(m_form.objectName(), "Form1");
    EXPECT_EQ(m_form.windowTitle(), "Quorvale v1.0");
    EXPECT_EQ(m_form.logicalDpiX(), 96);
    EXPECT_EQ(m_form.size(), QSize(507, 492));
    EXPECT_EQ(m_form.minimumSize(), m_form.maximumSize());
    EXPECT_EQ(m_form.windowIcon().pixmap(32, 32).size(), QSize(32, 32));

    EXPECT_EQ(control("txtPartNumber")->geometry(), QRect(72, 24, 129, 25));
    EXPECT_EQ(control("lv1")->geometry(), QRect(184, 176, 321, 233));
    EXPECT_EQ(control<QLabel>("Label13")->text(), "Please Log Date and Clock it Below :");
    EXPECT_EQ(control<QLineEdit>("txtCustomerName")->text(), "M/S Brenholt Consulting ");
    EXPECT_EQ(control<QPlainTextEdit>("txtComments")->toPlainText(),
              "The two holes on left \nside of the part are \npending till further notice.\n");
    EXPECT_EQ(control<QLineEdit>("txtPartNumber")->palette().color(QPalette::Text), QColor(0, 0, 128));
    EXPECT_EQ(control<QLineEdit>("txtSheetOf")->palette().color(QPalette::Text), QColor(128, 0, 0));
    EXPECT_TRUE(control<QLineEdit>("txtSheetOf")->font().bold());

    EXPECT_FALSE(control("cmdPrevious")->isEnabled());
    for (const char* name : {"cmdHelp", "cmdCancel", "cmdPrevious", "cmdNext"}) {
        EXPECT_FALSE(control<QPushButton>(name)->isDefault()) << name;
        EXPECT_FALSE(control<QPushButton>(name)->autoDefault()) << name;
    }
    EXPECT_EQ(control<QPushButton>("cmdNext")->text(), "&Next Feature  >>");
    EXPECT_EQ(control<QCheckBox>("Check1")->text(), "Adobe PD&F");
}

TEST_F(EntryWindow, NoCaptionRunsIntoAnotherControl)
{
    for (QLabel* label : m_form.findChildren<QLabel*>()) {
        const QFontMetrics metrics = label->fontMetrics();
        const QRect caption(label->pos(), QSize(metrics.horizontalAdvance(label->text()), metrics.height()));
        EXPECT_LE(caption.width(), label->width()) << label->objectName().toStdString();
        for (QWidget* other : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != label && !qobject_cast<QLabel*>(other)) {
                EXPECT_FALSE(caption.intersects(other->geometry()))
                    << label->objectName().toStdString() << " runs into " << other->objectName().toStdString();
            }
        }
    }
}

TEST_F(EntryWindow, TabRunsThroughTheControlsInTabIndexOrder)
{
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
    // clang-format off
    const QStringList expected = {
        "txtDrawingRevision", "txtRunChartRevision", "txtUpperTolerance", "txtLowerTolerance", "txtFrequency",
        "txtCheck", "txtInspectionTool", "txtSheet", "txtSheetOf", "txtComments", "Check1", "Check2", "lv1",
        "cmdNext", "txtApprovedBy", "txtDateApprovedBy", "txtOperationNumber", "txtDepartment", "txtDateInspector",
        "txtInspector", "txtDescription", "txtCustomerName", "txtPartNumber", "cmdHelp", "cmdCancel",
        "txtDrawingRevision"};
    // clang-format on
    QStringList visited = {QApplication::focusWidget()->objectName()};
    for (qsizetype i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, expected);
}

TEST_F(EntryWindow, ChecksBoxesFollowTheFlags)
{
    EXPECT_TRUE(m_form.formats().PdfChosen);
    EXPECT_TRUE(m_form.formats().ExcelChosen);
    EXPECT_TRUE(control<QCheckBox>("Check1")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("Check2")->isChecked());

    click("Check1");
    EXPECT_FALSE(m_form.formats().PdfChosen);
    EXPECT_TRUE(m_form.formats().ExcelChosen);
    click("Check2");
    EXPECT_FALSE(m_form.formats().ExcelChosen);
    click("Check1");
    EXPECT_TRUE(m_form.formats().PdfChosen);
    EXPECT_FALSE(m_form.formats().ExcelChosen);
}

TEST_F(EntryWindow, NextWithTheDefaultsWritesTheGoldenSheetAndGoesOn)
{
    click("cmdNext");
    EXPECT_EQ(readAll(sheetPath()), readAll(QUORVALE_TEST_DATA "/../base/golden/default-datasheet.txt"));
    EXPECT_EQ(m_forward.count(), 1);
    EXPECT_TRUE(m_platform.calls.empty());
}

TEST_F(EntryWindow, TheGridJudgesReadingsByTheRunsRecord)
{
    auto* grid = control<ReadingsGrid>("lv1");
    grid->setBell([] {});
    m_form.show();
    grid->addReading("1");
    ASSERT_NE(grid->findChild<QLineEdit*>(), nullptr);
    QTest::keyClick(grid->findChild<QLineEdit*>(), Qt::Key_Return);
    QApplication::processEvents();
    // 1 against Check 1.45 -0.02: below the lower limit.
    EXPECT_TRUE(grid->isMarked(0));
    EXPECT_EQ(grid->status(), "Reading 1 (1) is below the lower limit 1.43. 1 reading, 1 out of tolerance.");

    // Typed, a box is not the record yet; left, it asks (below). Other boxes change the record as they are left.
    control<QLineEdit>("txtFrequency")->setText("1 per hour");
    EXPECT_EQ(m_form.run().record().Frequency, "1 per 50");
    emit control<QLineEdit>("txtFrequency")->editingFinished();
    EXPECT_EQ(m_form.run().record().Frequency, "1 per hour");
    EXPECT_EQ(m_form.run().record().Check, "1.45");
    EXPECT_EQ(m_form.run().undoStack().undoText(), "Change Record");
}

TEST_F(EntryWindow, ACheckChangeOnARunWithReadingsAsksWhatItIsFor)
{
    auto* grid = control<ReadingsGrid>("lv1");
    grid->setBell([] {});
    m_form.show();
    grid->addReading("1");
    QTest::keyClick(grid->findChild<QLineEdit*>(), Qt::Key_Return);
    QApplication::processEvents();
    const std::string firstRun = m_form.run().runKey();
    auto* check = control<QLineEdit>("txtCheck");

    // Cancel: the box goes back, nothing changes.
    m_platform.answers = {MessageAnswer::Cancel};
    check->setText("1.00");
    emit check->editingFinished();
    ASSERT_EQ(m_platform.messages().size(), 1u);
    const Message asked = m_platform.messages().back();
    EXPECT_EQ(asked.buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(asked.defaultButton, MessageAnswer::Yes);
    EXPECT_EQ(asked.yesText, "Start a new run with this record");
    EXPECT_EQ(asked.noText, "Change this run's record");
    EXPECT_EQ(asked.icon, MessageIcon::Question);
    EXPECT_EQ(check->text(), "1.45");
    EXPECT_EQ(m_form.run().record().Check, "1.45");
    EXPECT_TRUE(grid->isMarked(0));

    // This run's record: the reading is judged again, and an undo takes it back.
    m_platform.answers = {MessageAnswer::No};
    check->setText("1.00");
    emit check->editingFinished();
    EXPECT_EQ(m_form.run().record().Check, "1.00");
    EXPECT_FALSE(grid->isMarked(0));
    EXPECT_EQ(grid->status(), "Reading 1 (1) is within the limits. 1 reading, 0 out of tolerance.");
    EXPECT_EQ(m_form.run().runKey(), firstRun);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(check->text(), "1.45");
    EXPECT_TRUE(grid->isMarked(0));

    // A new run with the record: the readings stay with the run they were logged in.
    m_platform.answers = {MessageAnswer::Yes};
    control<QLineEdit>("txtUpperTolerance")->setText("0.5");
    emit control<QLineEdit>("txtUpperTolerance")->editingFinished();
    EXPECT_NE(m_form.run().runKey(), firstRun);
    EXPECT_TRUE(grid->showsSamples());
    EXPECT_EQ(m_form.run().record().UpperTolerance, "0.5");
    EXPECT_EQ(m_platform.messages().size(), 3u);
    // Without readings, nothing is asked.
    check->setText("2");
    emit check->editingFinished();
    EXPECT_EQ(m_form.run().record().Check, "2");
    EXPECT_EQ(m_platform.messages().size(), 3u);
}

TEST_F(EntryWindow, CtrlNStartsAnEmptyRunWithTheSameRecordDatedToday)
{
    auto* grid = control<ReadingsGrid>("lv1");
    grid->setBell([] {});
    m_form.show();
    m_form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_form));
    control<QLineEdit>("txtDateInspector")->setText("1 Jan 2020");
    emit control<QLineEdit>("txtDateInspector")->editingFinished();
    grid->setFocus();
    QTest::keyClicks(grid, "0");
    QTest::keyClicks(grid->findChild<QLineEdit*>(), ".5");
    // What is being typed joins the run it was typed for.
    QTest::keyClick(grid, Qt::Key_N, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(grid->showsSamples());
    const QString today = QLocale::c().toString(QDate::currentDate(), QStringLiteral("d MMM yyyy"));
    EXPECT_EQ(control<QLineEdit>("txtDateInspector")->text(), today);
    EXPECT_EQ(control<QLineEdit>("txtDateApprovedBy")->text(), today);
    EXPECT_EQ(m_form.run().record().PartNumber, "R24 G198");
    auto* newRun = m_form.findChild<QAction*>("actNewRun");
    ASSERT_NE(newRun, nullptr);
    EXPECT_EQ(newRun->text(), "New Run");
    EXPECT_TRUE(grid->actions().contains(newRun)) << "not in the grid's menu";
    // Nothing lost: an undo goes back to the run before.
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(grid->readings().size(), 1u);
    EXPECT_EQ(grid->readings().front().value.text(), "0.5");
    EXPECT_EQ(control<QLineEdit>("txtDateInspector")->text(), "1 Jan 2020");
}

TEST_F(EntryWindow, NextTakesTheEditedBoxesWithCrLfComments)
{
    m_form.run().setReadingsAreDeviations(true);
    m_form.run().setRunRules(RunRules::Anhoj);
    control<QLineEdit>("txtPartNumber")->clear();
    QTest::keyClicks(control("txtPartNumber"), "X-1");
    control<QPlainTextEdit>("txtComments")->setPlainText("one\ntwo");
    click("cmdNext");
    EXPECT_EQ(m_form.record().PartNumber, "X-1");
    EXPECT_EQ(m_form.record().Comments, "one\r\ntwo");
    EXPECT_TRUE(m_form.record().ReadingsAreDeviations);
    EXPECT_EQ(m_form.record().Rules, RunRules::Anhoj);
    const QByteArray sheet = readAll(sheetPath());
    EXPECT_TRUE(sheet.contains("Part Number : X-1\r\n\r\n"));
    EXPECT_TRUE(sheet.endsWith("Comments :\r\none\r\ntwo\r\n"));
}

TEST_F(EntryWindow, ANoBreakSpaceInTheCommentsReachesTheSheetAsItself)
{
    control<QPlainTextEdit>("txtComments")->setPlainText(u"12\u00A0mm\nnext\n"_qs);
    click("cmdNext");
    EXPECT_EQ(m_form.record().Comments, "12\u00A0mm\r\nnext\r\n"); // UTF-8 in the record
    EXPECT_TRUE(readAll(sheetPath()).endsWith("Comments :\r\n12\xA0mm\r\nnext\r\n\r\n"));
}

TEST_F(EntryWindow, PastedLineBreaksBecomeBlanksInOneLineBoxesOnly)
{
    QApplication::clipboard()->setText("R24\r\nG198\nrev\rB");
    auto* part = control<QLineEdit>("txtPartNumber");
    part->clear();
    QTest::keyClick(part, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(part->text(), "R24 G198 rev B");
    EXPECT_EQ(part->cursorPosition(), part->text().size());
    QTest::keyClicks(part, "!");
    EXPECT_EQ(part->text(), "R24 G198 rev B!");
    control<QLineEdit>("txtCustomerName")->setText("Halden\nWorks");

    auto* comments = control<QPlainTextEdit>("txtComments");
    comments->clear();
    QApplication::clipboard()->setText("one\ntwo");
    QTest::keyClick(comments, Qt::Key_V, Qt::ControlModifier);
    click("cmdNext");
    const QByteArray sheet = readAll(sheetPath());
    EXPECT_TRUE(sheet.contains("Part Number : R24 G198 rev B!\r\n\r\nCustomer Name : Halden Works\r\n\r\n"));
    EXPECT_TRUE(sheet.endsWith("Comments :\r\none\r\ntwo\r\n"));
}

TEST_F(EntryWindow, NextWithoutAFormatWritesTheSheetWarnsAndFocusesCheck1)
{
    click("Check1");
    click("Check2");
    m_platform.answers = {MessageAnswer::Ok};
    bool focusMovedEarly = true;
    m_platform.onMessage = [&](const Message&) { focusMovedEarly = m_form.focusWidget() == control("Check1"); };
    click("cmdNext");

    ASSERT_EQ(m_platform.messages().size(), 1u);
    const Message warning = m_platform.messages().front();
    EXPECT_EQ(warning.text, "Select atleast one output format.");
    EXPECT_EQ(warning.title, "Quorvale v1.0");
    EXPECT_EQ(warning.icon, MessageIcon::Warning);
    EXPECT_EQ(warning.buttons, MessageButtons::Ok);
    EXPECT_FALSE(focusMovedEarly);
    EXPECT_EQ(m_form.focusWidget(), control("Check1"));
    EXPECT_EQ(m_forward.count(), 0);
    EXPECT_TRUE(QFile::exists(sheetPath()));

    click("Check2");
    click("cmdNext");
    EXPECT_EQ(m_forward.count(), 1);
    EXPECT_EQ(m_platform.messages().size(), 1u);
}

TEST_F(EntryWindow, CancelEndsAtOnceAndLeavesTheSheet)
{
    click("Check1");
    click("Check2");
    m_platform.answers = {MessageAnswer::Ok};
    click("cmdNext");
    click("cmdCancel");
    EXPECT_TRUE(m_platform.ended());
    EXPECT_TRUE(QFile::exists(sheetPath()));
}

// Readings waiting behind an open editor are logged, in order, however the window is left.
TEST_F(EntryWindow, CancelAndTheCloseBoxLogWhatIsTypedAndWhatWaits)
{
    auto* grid = control<ReadingsGrid>("lv1");
    grid->setBell([] {});
    m_form.show();
    for (const char* leave : {"cmdCancel", "close"}) {
        grid->addReading("0.5");
        ASSERT_TRUE(grid->logAsTyped("25.013"));
        ASSERT_TRUE(grid->logAsTyped("25.014"));
        EXPECT_TRUE(grid->showsSamples()) << leave;
        if (std::string(leave) == "close")
            m_form.close();
        else
            click(leave);
        std::vector<std::string> values;
        for (const Reading& reading : grid->readings())
            values.push_back(reading.value.text());
        EXPECT_EQ(values, (std::vector<std::string>{"0.5", "25.013", "25.014"})) << leave;
        m_form.run().startNewRun(m_form.run().record());
    }
    EXPECT_TRUE(m_platform.ended());
}

TEST_F(EntryWindow, ClosingTellsTheOwnerOfTheSheet)
{
    QSignalSpy unloaded(&m_form, &Form1::unloaded);
    m_form.close();
    EXPECT_EQ(unloaded.count(), 1);
}

TEST_F(EntryWindow, HelpAsksForTheHelpWindow)
{
    QSignalSpy help(&m_form, &Form1::helpRequested);
    click("cmdHelp");
    EXPECT_EQ(help.count(), 1);
    EXPECT_TRUE(m_platform.calls.empty());
}

TEST(EntryWindowFailure, UnwritableSheetIsReportedAndStopsTheForwardButton)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();

    ScriptedPlatform platform;
    DataSheetFile sheet(DataSheetFolder{dir.filePath("file").toStdString(), {}});
    GaugeConnection gauge;
    Form1 form(platform, sheet, gauge);
    QSignalSpy forward(&form, &Form1::forwardRequested);
    platform.answers = {MessageAnswer::Ok};
    QTest::mouseClick(form.findChild<QWidget*>("Check1"), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QWidget*>("Check2"), Qt::LeftButton);
    QTest::mouseClick(form.findChild<QWidget*>("cmdNext"), Qt::LeftButton);

    ASSERT_EQ(platform.messages().size(), 1u);
    const Message message = platform.messages().front();
    EXPECT_EQ(message.title, "Quorvale v1.0");
    EXPECT_EQ(message.icon, MessageIcon::Warning);
    EXPECT_TRUE(message.text.contains(dir.filePath("file/tempchart.txt")));
    EXPECT_TRUE(message.text.contains("Not a directory"));
    EXPECT_EQ(forward.count(), 0);
}

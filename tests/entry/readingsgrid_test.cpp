// The readings grid: its fourteen sample rows, its column widths at two screen resolutions, and
// logging, editing and removing readings with the keyboard, the mouse and the context menu.
#include "readingof.h"
#include "readingsgrid.h"
#include "runmodel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

using namespace quorvale;

namespace quorvale {
void PrintTo(const Reading& reading, std::ostream* out)
{
    *out << DateTimeText(reading.loggedAt) << " (" << reading.loggedAt.utcOffset << ") \"" << reading.value.text()
         << '"';
}
} // namespace quorvale

TEST(ReadingsGrid, ColumnWidthsFollowTheScreensPixelSize)
{
    const ReadingsColumnWidths at15 = readingsColumnWidths(4815, 15);
    EXPECT_FLOAT_EQ(at15.dateTime, 1908.0f);
    EXPECT_FLOAT_EQ(at15.tolerance, 2623.5f);
    const ReadingsColumnWidths at12 = readingsColumnWidths(4815, 12);
    EXPECT_FLOAT_EQ(at12.dateTime, 1911.6f);
    EXPECT_FLOAT_EQ(at12.tolerance, 2628.45f);

    RunModel run;
    ReadingsGrid grid(run);
    setUpReadingsGrid(grid, 4815, 15);
    EXPECT_EQ(grid.columnWidth(0), 127);
    EXPECT_EQ(grid.columnWidth(1), 175);
    setUpReadingsGrid(grid, 4815, 12);
    EXPECT_EQ(grid.columnWidth(0), 159);
    EXPECT_EQ(grid.columnWidth(1), 219);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal), "Date/Time");
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal), "Tolerance");
}

TEST(ReadingsGrid, FillingTwiceStillGivesTheFourteenReadings)
{
    QStandardItemModel samples;
    fillSampleRows(samples);
    fillSampleRows(samples);
    ASSERT_EQ(samples.rowCount(), 14);
    EXPECT_EQ(samples.item(0, 0)->text(), "1:20 PM");
    EXPECT_EQ(samples.item(6, 0)->text(), "3:20 PM");
    EXPECT_EQ(samples.item(13, 0)->text(), "5:40 PM");
    for (int row = 0; row < 14; ++row)
        EXPECT_EQ(samples.item(row, 1)->text(), "0.02") << row;
}

namespace {

// A shown grid with a clock the test sets; keys go where a user's would.
class LoggingGrid : public testing::Test {
protected:
    LoggingGrid()
    {
        setUpReadingsGrid(m_grid, 4815, 15);
        m_grid.setClock([this] { return m_now; });
        m_grid.show();
        m_grid.activateWindow();
        m_grid.setFocus();
    }

    QLineEdit* editor() const { return m_grid.findChild<QLineEdit*>(); }
    // The hint under the editor, while it shows.
    QString hint() const
    {
        const auto* label = m_grid.findChild<QLabel*>(QStringLiteral("lblReadingHint"));
        return label && label->isVisible() ? label->text() : QString();
    }

    // Types text into the open editor and presses a key there; the commit is queued, so let it run.
    void typeIntoEditor(const QString& text, Qt::Key key = Qt::Key_Return)
    {
        QLineEdit* box = editor();
        ASSERT_NE(box, nullptr);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, key);
        settle();
    }

    // Runs the queued commit and deletes the closed editor.
    static void settle()
    {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A gauge's input: the value's first character reaches the grid, which opens the editor.
    void logReading(const QString& value)
    {
        QTest::keyClicks(&m_grid, value.left(1));
        typeIntoEditor(value.mid(1));
    }

    std::vector<Reading> expected(std::initializer_list<Reading> readings) { return readings; }
    int rows() const { return m_grid.model()->rowCount(); }
    QModelIndex index(int row, int column) const { return m_grid.model()->index(row, column); }
    QString cell(int row, int column) const { return index(row, column).data().toString(); }
    QColor colour(int row, int column) const
    {
        return index(row, column).data(Qt::ForegroundRole).value<QBrush>().color();
    }
    void select(int row)
    {
        m_grid.selectionModel()->select(index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QAction* action(const char* name) const { return m_grid.findChild<QAction*>(QLatin1String(name)); }
    void setLimits(const char* check, const char* upper, const char* lower)
    {
        RunChartRecord record = m_run.record();
        record.Check = check;
        record.UpperTolerance = upper;
        record.LowerTolerance = lower;
        m_run.changeRecord(record);
    }

    RunModel m_run;
    ReadingsGrid m_grid{m_run};
    // 09:05:00 on 2026-12-07, two hours east of UTC.
    Reading at(int hour, int minute, int second, const char* value) const
    {
        return ReadingOf(Day + ((hour - 2) * 60 + minute) * 60 + second, 7200, value);
    }

    static constexpr std::int64_t Day = 1796601600; // 2026-12-07 00:00 UTC
    QDateTime m_now{QDate(2026, 12, 7), QTime(9, 5), Qt::OffsetFromUTC, 7200};
};

} // namespace

TEST_F(LoggingGrid, StartsWithTheGreySamplesWhichAreNoReadings)
{
    EXPECT_TRUE(m_grid.showsSamples());
    EXPECT_TRUE(m_grid.readings().empty());
    ASSERT_EQ(rows(), 14);
    EXPECT_EQ(colour(0, 0), QColor(128, 128, 128));
    EXPECT_EQ(colour(13, 1), QColor(128, 128, 128));
    // Samples cannot be edited or removed; only adding is offered.
    EXPECT_TRUE(action("actAddReading")->isEnabled());
    for (const char* name : {"actEdit", "actRemoveReading", "actRestoreSamples"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    m_grid.setCurrentIndex(index(2, 1));
    QTest::keyClick(&m_grid, Qt::Key_F2);
    EXPECT_EQ(editor(), nullptr);
    QTest::keyClick(&m_grid, Qt::Key_Delete);
    EXPECT_EQ(rows(), 14);
}

TEST_F(LoggingGrid, TypingANumberAndEnterLogsOneReadingThatReplacesTheSamples)
{
    logReading(QStringLiteral("0.013"));
    EXPECT_FALSE(m_grid.showsSamples());
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0), "09:05:00");
    EXPECT_EQ(cell(0, 1), "0.013");
    EXPECT_NE(colour(0, 0), QColor(128, 128, 128));
    EXPECT_EQ(m_grid.readings(), expected({at(9, 5, 0, "0.013")}));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(m_grid.hasFocus());
}

TEST_F(LoggingGrid, ReadingsInARowAreKeptInTheOrderLoggedEachWithItsTime)
{
    const QString typed[] = {"0.02", "-0,005", "+.5", "7 "};
    for (const QString& value : typed) {
        logReading(value);
        m_now = m_now.addSecs(20 * 60 + 7);
    }
    // The comma becomes a point; the sign stays as typed; blanks go.
    EXPECT_EQ(m_grid.readings(),
              expected({at(9, 5, 0, "0.02"), at(9, 25, 7, "-0.005"), at(9, 45, 14, "+.5"), at(10, 5, 21, "7")}));
    EXPECT_EQ(cell(3, 0), "10:05:21");
    EXPECT_EQ(m_grid.currentIndex().row(), 3);

    // Two readings in one second stay two; a reading past midnight has the next day's date.
    logReading(QStringLiteral("1"));
    m_now = QDateTime(QDate(2026, 12, 8), QTime(0, 0, 7), Qt::OffsetFromUTC, 7200);
    logReading(QStringLiteral("2"));
    EXPECT_EQ(m_grid.readings().size(), 6u);
    EXPECT_EQ(cell(5, 0), "00:00:07");
    EXPECT_EQ(DateTimeText(m_grid.readings().back().loggedAt), "2026-12-08 00:00:07");
}

TEST_F(LoggingGrid, ANonNumberKeepsTheEditorOpenWithAHint)
{
    logReading(QStringLiteral("0.0x2"));
    QLineEdit* box = editor();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "0.0x2");
    EXPECT_EQ(hint(), "Type the reading as a number, for example 0.02.");
    EXPECT_TRUE(m_grid.showsSamples());

    // Corrected, the same reading is logged; the hint goes as soon as the text changes.
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("0"));
    EXPECT_TRUE(hint().isEmpty());
    typeIntoEditor(QStringLiteral(".02"));
    EXPECT_EQ(m_grid.readings(), expected({at(9, 5, 0, "0.02")}));

    // Several marks, a sign inside, or nothing but a sign are no numbers either.
    for (const QString& bad :
         {QStringLiteral("1.2.3"), QStringLiteral("1-2"), QStringLiteral("-"), QStringLiteral("1e3")}) {
        logReading(bad);
        ASSERT_NE(editor(), nullptr) << bad.toStdString();
        QTest::keyClick(editor(), Qt::Key_Escape);
        settle();
    }
    EXPECT_EQ(m_grid.readings(), expected({at(9, 5, 0, "0.02")}));

    // A number beyond a billion either way is refused with its own hint.
    logReading(QStringLiteral("-1000000000.5"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(hint(), "The reading is too large: type a number between -1000000000 and 1000000000.");
    QTest::keyClick(editor(), Qt::Key_Escape);
    settle();
    logReading(QStringLiteral("-1000000000"));
    EXPECT_EQ(m_grid.readings().back().value.text(), "-1000000000");
}

TEST_F(LoggingGrid, TheDeviationsSwitchIsUndoneByCtrlZAndNotAnOlderEdit)
{
    QAction* deviations = action("actReadingsAreDeviations");
    ASSERT_NE(deviations, nullptr);
    EXPECT_EQ(deviations->text(), "Readings Are Deviations From Check");
    EXPECT_TRUE(deviations->isCheckable());
    setLimits("25.000", "0.010", "0.010");
    logReading(QStringLiteral("250.03"));
    m_grid.setCurrentIndex(index(0, 1));
    QTest::keyClick(&m_grid, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("25.003"));

    deviations->trigger();
    EXPECT_TRUE(m_run.record().ReadingsAreDeviations);
    EXPECT_TRUE(m_grid.isMarked(0)) << "25.003 is far off a deviation of at most 0.010";
    EXPECT_EQ(action("actUndo")->text(), "Undo Readings Are Deviations From Check");
    QTest::keyClick(&m_grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(m_run.record().ReadingsAreDeviations);
    EXPECT_FALSE(deviations->isChecked());
    EXPECT_FALSE(m_grid.isMarked(0));
    EXPECT_EQ(cell(0, 1), "25.003") << "the corrected typo came back";
    // Redone by either key.
    QTest::keyClick(&m_grid, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(deviations->isChecked());
    QTest::keyClick(&m_grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&m_grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(m_run.record().ReadingsAreDeviations);
}

TEST_F(LoggingGrid, RunRulesAreAChoiceOfTheRunInTheContextMenu)
{
    QAction* rules = action("actRunRules");
    ASSERT_NE(rules, nullptr);
    EXPECT_EQ(rules->text(), "Run Rules");
    EXPECT_TRUE(m_grid.actions().contains(rules));
    ASSERT_NE(rules->menu(), nullptr);
    QAction* shiftAndTrend = action("actShiftAndTrend");
    QAction* anhoj = action("actAnhojRules");
    EXPECT_EQ(rules->menu()->actions(), (QList<QAction*>{shiftAndTrend, anhoj}));
    EXPECT_TRUE(shiftAndTrend->isChecked());

    // Six rising readings: a trend by default, nothing by Anhøj's rules; the choice is undone by Ctrl+Z.
    setLimits("25", "", "");
    for (const QString value : {"1", "2", "3", "4", "5", "6"})
        logReading(value);
    EXPECT_NE(m_grid.status().indexOf(QStringLiteral("Trend")), -1) << m_grid.status().toStdString();
    anhoj->trigger();
    EXPECT_EQ(m_run.record().Rules, RunRules::Anhoj);
    EXPECT_TRUE(anhoj->isChecked());
    EXPECT_FALSE(shiftAndTrend->isChecked());
    EXPECT_EQ(m_grid.status(), "Reading 6 (6) logged. 6 readings.");
    QTest::keyClick(&m_grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m_run.record().Rules, RunRules::ShiftAndTrend);
    EXPECT_TRUE(shiftAndTrend->isChecked());
}

TEST_F(LoggingGrid, EscapeAbandonsANewReadingAndKeepsTheSamples)
{
    QTest::keyClicks(&m_grid, QStringLiteral("5"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(rows(), 15);
    QTest::keyClick(editor(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(rows(), 14);
    EXPECT_TRUE(m_grid.showsSamples());
}

TEST_F(LoggingGrid, EditsATimeOrAValueInPlace)
{
    logReading(QStringLiteral("0.01"));
    logReading(QStringLiteral("0.02"));

    // F2 edits the selected cell: the value of the second reading.
    m_grid.setCurrentIndex(index(1, 1));
    QTest::keyClick(&m_grid, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("0,025"));
    EXPECT_EQ(cell(1, 1), "0.025");

    // A time in 24-hour form is kept and shown as the grid shows times.
    m_grid.setCurrentIndex(index(0, 0));
    action("actEdit")->trigger();
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("1:40 pm"));
    EXPECT_EQ(cell(0, 0), "13:40:00");

    // A double click opens the time too; what is no time is refused with a hint.
    const QRect timeCell = m_grid.visualRect(index(1, 0));
    QTest::mouseClick(m_grid.viewport(), Qt::LeftButton, {}, timeCell.topLeft() + QPoint(5, 5));
    QTest::mouseDClick(m_grid.viewport(), Qt::LeftButton, {}, timeCell.topLeft() + QPoint(5, 5));
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("25:00"));
    EXPECT_EQ(hint(), "Type the time as 13:20, 13:20:05 or 1:20 PM.");
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("7:05:09"));
    // Each keeps its date and offset.
    EXPECT_EQ(m_grid.readings(), expected({at(13, 40, 0, "0.01"), at(7, 5, 9, "0.025")}));
}

TEST_F(LoggingGrid, DeleteRemovesTheSelectedReadingsAndTheLastOneBringsTheSamplesBack)
{
    for (const QString value : {"1", "2", "3", "4"})
        logReading(value);
    m_grid.clearSelection();
    select(1);
    select(3);
    QTest::keyClick(&m_grid, Qt::Key_Delete);
    EXPECT_EQ(m_grid.readings(), expected({at(9, 5, 0, "1"), at(9, 5, 0, "3")}));
    EXPECT_EQ(action("actUndo")->text(), "Undo Remove 2 Readings");

    m_grid.selectAll();
    ASSERT_TRUE(action("actRemoveReading")->isEnabled());
    action("actRemoveReading")->trigger();
    EXPECT_TRUE(m_grid.showsSamples());
    EXPECT_EQ(rows(), 14);
    // Undone, the readings are back in their places and the samples gone.
    action("actUndo")->trigger();
    action("actUndo")->trigger();
    EXPECT_EQ(m_grid.readings(), expected({at(9, 5, 0, "1"), at(9, 5, 0, "2"), at(9, 5, 0, "3"), at(9, 5, 0, "4")}));
    EXPECT_EQ(rows(), 4);
}

TEST_F(LoggingGrid, RestoreGivesBackTheUntouchedGridAndAddReadingStartsOne)
{
    logReading(QStringLiteral("0.5"));
    ASSERT_TRUE(action("actRestoreSamples")->isEnabled());
    action("actRestoreSamples")->trigger();
    EXPECT_TRUE(m_grid.showsSamples());
    EXPECT_TRUE(m_grid.readings().empty());
    EXPECT_EQ(cell(0, 0), "1:20 PM");
    EXPECT_FALSE(action("actRestoreSamples")->isEnabled());

    action("actAddReading")->trigger();
    ASSERT_NE(editor(), nullptr);
    EXPECT_TRUE(editor()->text().isEmpty());
    typeIntoEditor(QStringLiteral("0.25"));
    EXPECT_EQ(m_grid.readings(), expected({at(9, 5, 0, "0.25")}));
}

TEST_F(LoggingGrid, AThousandReadingsAreAllKept)
{
    for (int i = 0; i < 1000; ++i)
        logReading(QString::number(i));
    const std::vector<Reading> readings = m_grid.readings();
    ASSERT_EQ(readings.size(), 1000u);
    EXPECT_EQ(readings[999].value.text(), "999");
    EXPECT_EQ(m_grid.currentIndex().row(), 999);
}

TEST_F(LoggingGrid, AReadingOutsideItsLimitsIsMarkedSaidAndRung)
{
    int rings = 0;
    m_grid.setBell([&] { ++rings; });
    setLimits("25.000", "0.010", "0.010");
    logReading(QStringLiteral("25.002"));
    EXPECT_FALSE(m_grid.isMarked(0));
    EXPECT_EQ(m_grid.status(), "Reading 1 (25.002) is within the limits. 1 reading, 0 out of tolerance.");
    logReading(QStringLiteral("25,013"));
    EXPECT_TRUE(m_grid.isMarked(1));
    EXPECT_EQ(colour(1, 1), QColor(255, 0, 0));
    EXPECT_TRUE(index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(m_grid.status(), "Reading 2 (25.013) is above the upper limit 25.010. 2 readings, 1 out of tolerance.");
    logReading(QStringLiteral("24.9"));
    EXPECT_EQ(m_grid.status(), "Reading 3 (24.9) is below the lower limit 24.990. 3 readings, 2 out of tolerance.");
    EXPECT_EQ(rings, 2);

    // Corrected, the reading loses its mark; an edit rings nothing.
    m_grid.setCurrentIndex(index(1, 1));
    QTest::keyClick(&m_grid, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("25.004"));
    EXPECT_FALSE(m_grid.isMarked(1));
    EXPECT_TRUE(m_grid.isMarked(2));
    EXPECT_EQ(rings, 2);

    // New limits judge every reading again; without limits nothing is marked.
    setLimits("25", "0.003", "1");
    EXPECT_FALSE(m_grid.isMarked(0));
    EXPECT_TRUE(m_grid.isMarked(1));
    EXPECT_FALSE(m_grid.isMarked(2));
    setLimits("25", "", "");
    EXPECT_FALSE(m_grid.isMarked(1));
    logReading(QStringLiteral("30"));
    EXPECT_EQ(m_grid.status(), "Reading 4 (30) logged. 4 readings.");
    EXPECT_EQ(rings, 2);

    // Back to the samples, the line is empty again.
    action("actRestoreSamples")->trigger();
    EXPECT_TRUE(m_grid.status().isEmpty());
}

TEST_F(LoggingGrid, TheLineUnderTheGridNamesASignalAsItComes)
{
    // One a minute from 09:06, each signal named with its readings' times.
    setLimits("25", "", "");
    for (const QString value : {"5", "1", "2", "3", "4", "6"}) {
        m_now = m_now.addSecs(60);
        logReading(value);
        if (value == "4") {
            EXPECT_EQ(m_grid.status(), "Reading 5 (4) logged. 5 readings.");
        }
    }
    EXPECT_EQ(m_grid.status(), "Reading 6 (6) logged. Trend: readings 2-6 (09:07:00 to 09:11:00) rising. 6 readings.");
    const QLabel* line = m_grid.findChild<QLabel*>(QStringLiteral("lblGridStatus"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    // Under the rows, inside the grid.
    EXPECT_GE(line->geometry().top(), m_grid.viewport()->geometry().bottom());
    EXPECT_LE(line->geometry().bottom(), m_grid.rect().bottom());

    // The store's and the gauge's notes keep lines of their own, and go with what they report.
    m_grid.showNote(ReadingsGrid::NoteSource::Gauge, QStringLiteral("Gauge /dev/ttyUSB0 disconnected"));
    m_grid.showNote(ReadingsGrid::NoteSource::Store, QStringLiteral("A reading is not saved"));
    logReading(QStringLiteral("7"));
    EXPECT_EQ(line->text(), "Reading 7 (7) logged. Trend: readings 2-7 (09:07:00 to 09:11:00) rising. 7 readings.\n"
                            "A reading is not saved\nGauge /dev/ttyUSB0 disconnected");
    m_grid.showNote(ReadingsGrid::NoteSource::Store, {});
    EXPECT_EQ(line->text(), "Reading 7 (7) logged. Trend: readings 2-7 (09:07:00 to 09:11:00) rising. 7 readings.\n"
                            "Gauge /dev/ttyUSB0 disconnected");
}

// The line never names a value the run no longer holds.
TEST_F(LoggingGrid, TheLineFollowsAnEditAnUndoAndARemoval)
{
    setLimits("25.000", "0.010", "0.010");
    for (const QString value : {"25.001", "250.03"})
        logReading(value);
    EXPECT_EQ(m_grid.status(), "Reading 2 (250.03) is above the upper limit 25.010. 2 readings, 1 out of tolerance.");
    m_grid.setCurrentIndex(index(1, 1));
    QTest::keyClick(&m_grid, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("25.003"));
    EXPECT_EQ(m_grid.status(), "Reading 2 (25.003) is within the limits. 2 readings, 0 out of tolerance.");
    QTest::keyClick(&m_grid, Qt::Key_Delete);
    EXPECT_EQ(m_grid.status(), "Reading 1 (25.001) is within the limits. 1 reading, 0 out of tolerance.");
    QTest::keyClick(&m_grid, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&m_grid, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(m_grid.status(), "Reading 2 (250.03) is above the upper limit 25.010. 2 readings, 1 out of tolerance.");
}

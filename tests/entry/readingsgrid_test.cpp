// The readings grid: its fourteen sample rows, its column widths at two screen resolutions, and
// logging, editing and removing readings with the keyboard, the mouse and the context menu.
#include "readingof.h"
#include "readingsgrid.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

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

    QTreeWidget grid;
    setUpReadingsGrid(grid, 4815, 15);
    EXPECT_EQ(grid.columnWidth(0), 127);
    EXPECT_EQ(grid.columnWidth(1), 175);
    setUpReadingsGrid(grid, 4815, 12);
    EXPECT_EQ(grid.columnWidth(0), 159);
    EXPECT_EQ(grid.columnWidth(1), 219);
    EXPECT_EQ(grid.headerItem()->text(0), "Date/Time");
    EXPECT_EQ(grid.headerItem()->text(1), "Tolerance");
}

TEST(ReadingsGrid, FillingTwiceStillGivesTheFourteenReadings)
{
    QTreeWidget grid;
    setUpReadingsGrid(grid, 4815, 15);
    fillReadingsGrid(grid);
    fillReadingsGrid(grid);
    ASSERT_EQ(grid.topLevelItemCount(), 14);
    EXPECT_EQ(grid.topLevelItem(0)->text(0), "1:20 PM");
    EXPECT_EQ(grid.topLevelItem(6)->text(0), "3:20 PM");
    EXPECT_EQ(grid.topLevelItem(13)->text(0), "5:40 PM");
    for (int row = 0; row < 14; ++row)
        EXPECT_EQ(grid.topLevelItem(row)->text(1), "0.02") << row;
}

namespace {

// A shown grid with a clock the test sets; keys go where a user's would.
class LoggingGrid : public testing::Test {
protected:
    LoggingGrid()
    {
        setUpReadingsGrid(m_grid, 4815, 15);
        m_grid.restoreSamples();
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
    QString cell(int row, int column) const { return m_grid.topLevelItem(row)->text(column); }
    QAction* action(const char* name) const { return m_grid.findChild<QAction*>(QLatin1String(name)); }

    ReadingsGrid m_grid;
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
    ASSERT_EQ(m_grid.topLevelItemCount(), 14);
    EXPECT_EQ(m_grid.topLevelItem(0)->foreground(0).color(), QColor(128, 128, 128));
    EXPECT_EQ(m_grid.topLevelItem(13)->foreground(1).color(), QColor(128, 128, 128));
    // Samples cannot be edited or removed; only adding is offered.
    EXPECT_TRUE(action("actAddReading")->isEnabled());
    for (const char* name : {"actEdit", "actRemoveReading", "actRestoreSamples"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    m_grid.setCurrentItem(m_grid.topLevelItem(2), 1);
    QTest::keyClick(&m_grid, Qt::Key_F2);
    EXPECT_EQ(editor(), nullptr);
    QTest::keyClick(&m_grid, Qt::Key_Delete);
    EXPECT_EQ(m_grid.topLevelItemCount(), 14);
}

TEST_F(LoggingGrid, TypingANumberAndEnterLogsOneReadingThatReplacesTheSamples)
{
    logReading(QStringLiteral("0.013"));
    EXPECT_FALSE(m_grid.showsSamples());
    ASSERT_EQ(m_grid.topLevelItemCount(), 1);
    EXPECT_EQ(cell(0, 0), "09:05:00");
    EXPECT_EQ(cell(0, 1), "0.013");
    EXPECT_NE(m_grid.topLevelItem(0)->foreground(0).color(), QColor(128, 128, 128));
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
    EXPECT_EQ(m_grid.currentItem(), m_grid.topLevelItem(3));

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

TEST_F(LoggingGrid, TheContextMenuSwitchesBetweenSizesAndDeviations)
{
    QAction* deviations = action("actReadingsAreDeviations");
    ASSERT_NE(deviations, nullptr);
    EXPECT_EQ(deviations->text(), "Readings Are Deviations From Check");
    EXPECT_TRUE(deviations->isCheckable());
    EXPECT_FALSE(m_grid.readingsAreDeviations());
    int changes = 0;
    QObject::connect(&m_grid, &ReadingsGrid::readingsAreDeviationsChanged, [&] { ++changes; });
    deviations->trigger();
    EXPECT_TRUE(m_grid.readingsAreDeviations());
    EXPECT_EQ(changes, 1);
    m_grid.setReadingsAreDeviations(false);
    EXPECT_FALSE(deviations->isChecked());
}

TEST_F(LoggingGrid, EscapeAbandonsANewReadingAndKeepsTheSamples)
{
    QTest::keyClicks(&m_grid, QStringLiteral("5"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(m_grid.topLevelItemCount(), 15);
    QTest::keyClick(editor(), Qt::Key_Escape);
    settle();
    EXPECT_EQ(m_grid.topLevelItemCount(), 14);
    EXPECT_TRUE(m_grid.showsSamples());
}

TEST_F(LoggingGrid, EditsATimeOrAValueInPlace)
{
    logReading(QStringLiteral("0.01"));
    logReading(QStringLiteral("0.02"));

    // F2 edits the selected cell: the value of the second reading.
    m_grid.setCurrentItem(m_grid.topLevelItem(1), 1);
    QTest::keyClick(&m_grid, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("0,025"));
    EXPECT_EQ(cell(1, 1), "0.025");

    // A time in 24-hour form is kept and shown as the grid shows times.
    m_grid.setCurrentItem(m_grid.topLevelItem(0), 0);
    action("actEdit")->trigger();
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("1:40 pm"));
    EXPECT_EQ(cell(0, 0), "13:40:00");

    // A double click opens the time too; what is no time is refused with a hint.
    const QRect timeCell = m_grid.visualItemRect(m_grid.topLevelItem(1));
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
    m_grid.topLevelItem(1)->setSelected(true);
    m_grid.topLevelItem(3)->setSelected(true);
    QTest::keyClick(&m_grid, Qt::Key_Delete);
    EXPECT_EQ(m_grid.readings(), expected({at(9, 5, 0, "1"), at(9, 5, 0, "3")}));

    m_grid.selectAll();
    ASSERT_TRUE(action("actRemoveReading")->isEnabled());
    action("actRemoveReading")->trigger();
    EXPECT_TRUE(m_grid.showsSamples());
    EXPECT_EQ(m_grid.topLevelItemCount(), 14);
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
    EXPECT_EQ(m_grid.currentItem(), m_grid.topLevelItem(999));
}

TEST_F(LoggingGrid, AReadingOutsideItsLimitsIsMarkedSaidAndRung)
{
    int rings = 0;
    m_grid.setBell([&] { ++rings; });
    m_grid.setLimits(ToleranceLimits{DecimalOf("25.010"), DecimalOf("24.990")}, 3);
    logReading(QStringLiteral("25.002"));
    EXPECT_FALSE(m_grid.isMarked(0));
    EXPECT_EQ(m_grid.status(), "Reading 1 (25.002) is within the limits.");
    logReading(QStringLiteral("25,013"));
    EXPECT_TRUE(m_grid.isMarked(1));
    EXPECT_EQ(m_grid.topLevelItem(1)->foreground(1).color(), QColor(255, 0, 0));
    EXPECT_EQ(m_grid.status(), "Reading 2 (25.013) is above the upper limit 25.010.");
    logReading(QStringLiteral("24.9"));
    EXPECT_EQ(m_grid.status(), "Reading 3 (24.9) is below the lower limit 24.990.");
    EXPECT_EQ(rings, 2);

    // Corrected, the reading loses its mark; an edit rings nothing.
    m_grid.setCurrentItem(m_grid.topLevelItem(1), 1);
    QTest::keyClick(&m_grid, Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    typeIntoEditor(QStringLiteral("25.004"));
    EXPECT_FALSE(m_grid.isMarked(1));
    EXPECT_TRUE(m_grid.isMarked(2));
    EXPECT_EQ(rings, 2);

    // New limits judge every reading again; without limits nothing is marked.
    m_grid.setLimits(ToleranceLimits{DecimalOf("25.003"), DecimalOf("24.0")}, 3);
    EXPECT_FALSE(m_grid.isMarked(0));
    EXPECT_TRUE(m_grid.isMarked(1));
    EXPECT_FALSE(m_grid.isMarked(2));
    m_grid.setLimits(std::nullopt, 0);
    EXPECT_FALSE(m_grid.isMarked(1));
    logReading(QStringLiteral("30"));
    EXPECT_EQ(m_grid.status(), "Reading 4 (30) logged.");
    EXPECT_EQ(rings, 2);

    // Back to the samples, the line is empty again.
    m_grid.restoreSamples();
    EXPECT_TRUE(m_grid.status().isEmpty());
}

TEST_F(LoggingGrid, TheLineUnderTheGridNamesASignalAsItComes)
{
    for (const QString value : {"5", "1", "2", "3", "4"})
        logReading(value);
    EXPECT_EQ(m_grid.status(), "Reading 5 (4) logged.");
    logReading(QStringLiteral("6"));
    EXPECT_EQ(m_grid.status(), "Reading 6 (6) logged. Trend: readings 2-6 rising.");
    const QLabel* line = m_grid.findChild<QLabel*>(QStringLiteral("lblGridStatus"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    // Under the rows, inside the grid.
    EXPECT_GE(line->geometry().top(), m_grid.viewport()->geometry().bottom());
    EXPECT_LE(line->geometry().bottom(), m_grid.rect().bottom());
}

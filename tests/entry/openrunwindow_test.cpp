// Open Run: the columns that tell two runs of one part apart, sorting by each, the filter over every
// text, and Escape.
#include "openrunwindow.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

using namespace quorvale;

namespace {

RunSummary summary(RunId id, const char* operation, const char* inspector, int readings)
{
    RunSummary run;
    run.id = id;
    run.started = {1'796'000'000 - id * 3600, 3600};
    run.readings = readings;
    run.partNumber = "SHAFT-2";
    run.customerName = "Brenholt";
    run.operationNumber = operation;
    run.check = "25.000 mm";
    run.inspector = inspector;
    if (readings > 0)
        run.lastReading = Moment{1'796'000'000 - id * 3600 + 600, 3600};
    return run;
}

class OpenRun : public testing::Test {
protected:
    OpenRun()
    {
        // Listed newest first, as the store gives them.
        m_window = new OpenRunWindow({summary(9, "OP 20", "K. Varn", 10), summary(10, "OP 30", "L. Ostby", 9),
                                      summary(100, "OP 20", "K. Varn", 0)},
                                     &m_owner);
        m_window->show();
        m_runs = m_window->findChild<QTreeWidget*>(QStringLiteral("lvRuns"));
        m_filter = m_window->findChild<QLineEdit*>(QStringLiteral("txtRunFilter"));
    }
    ~OpenRun() override { delete m_window.data(); }

    QStringList column(int index) const
    {
        QStringList texts;
        for (int row = 0; row < m_runs->topLevelItemCount(); ++row)
            if (!m_runs->topLevelItem(row)->isHidden())
                texts << m_runs->topLevelItem(row)->text(index);
        return texts;
    }

    QWidget m_owner;
    QPointer<OpenRunWindow> m_window;
    QTreeWidget* m_runs = nullptr;
    QLineEdit* m_filter = nullptr;
};

} // namespace

TEST_F(OpenRun, ShowsWhatTellsTwoRunsOfOnePartApart)
{
    QStringList headers;
    for (int index = 0; index < m_runs->columnCount(); ++index)
        headers << m_runs->headerItem()->text(index);
    EXPECT_EQ(headers, QStringList({"Run", "Part Number", "Customer", "Operation", "Check", "Inspector", "Started",
                                    "Last Reading", "Readings", "State"}));
    const QTreeWidgetItem* first = m_runs->topLevelItem(0);
    EXPECT_EQ(first->text(0), "9");
    EXPECT_EQ(first->text(3), "OP 20");
    EXPECT_EQ(first->text(4), "25.000 mm");
    EXPECT_EQ(first->text(5), "K. Varn");
    EXPECT_EQ(first->text(6), "2026-11-29 16:53:20");
    EXPECT_EQ(first->text(7), "2026-11-29 17:03:20");
    EXPECT_EQ(first->text(9), "open");
    // An empty run has no last reading.
    EXPECT_EQ(m_runs->topLevelItem(2)->text(7), "");
}

TEST_F(OpenRun, SortsByEachColumnAsNumbersWhereTheyAreNumbers)
{
    EXPECT_EQ(column(0), QStringList({"9", "10", "100"}));
    m_runs->sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(column(0), QStringList({"100", "10", "9"}));
    m_runs->sortByColumn(8, Qt::AscendingOrder);
    EXPECT_EQ(column(8), QStringList({"0", "9", "10"}));
    m_runs->sortByColumn(5, Qt::AscendingOrder);
    EXPECT_EQ(column(5), QStringList({"K. Varn", "K. Varn", "L. Ostby"}));
}

TEST_F(OpenRun, FiltersOverEveryTextAndOpensTheRunChosen)
{
    QSignalSpy chosen(m_window.data(), &OpenRunWindow::runChosen);
    QTest::keyClicks(m_filter, QStringLiteral("ostby"));
    EXPECT_EQ(column(0), QStringList({"10"}));
    m_filter->setText(QStringLiteral("op 20"));
    EXPECT_EQ(column(0), QStringList({"9", "100"}));
    m_filter->setText(QStringLiteral("17:03"));
    EXPECT_EQ(column(0), QStringList({"9"}));
    QTest::keyClick(m_filter, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toLongLong(), 9);
}

TEST_F(OpenRun, EscapeClosesItWithoutChoosing)
{
    QSignalSpy chosen(m_window.data(), &OpenRunWindow::runChosen);
    m_window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.data()));
    QTest::keyClick(m_filter, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_window.isNull());
    EXPECT_EQ(chosen.count(), 0);
}

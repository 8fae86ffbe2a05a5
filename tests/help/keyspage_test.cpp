// The keys page: what it tells an inspector, where the runs are kept, and that Escape closes it.
#include "keyspage.h"

#include <QPointer>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(KeysPage, TellsTheKeysTheRowsAndWhereTheRunsAreKept)
{
    QPointer<KeysPage> page = new KeysPage(QStringLiteral("postgresql://inspector@qc<1>/runs"));
    const QString text = page->findChild<QTextBrowser*>()->toPlainText();
    for (const char* told : {"Enter", "F2", "Delete", "Ctrl+Z", "Ctrl+Y", "Ctrl+N", "Ctrl+O", "Ctrl+G", "F5",
                             "Bold red", "outbox", "Grey", "Finish", "postgresql://inspector@qc<1>/runs"})
        EXPECT_TRUE(text.contains(QLatin1String(told))) << told;
    EXPECT_EQ(page->windowTitle(), "Keys and Runs");

    page->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page.data()));
    QTest::keyClick(page->findChild<QTextBrowser*>(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(page.isNull());
}

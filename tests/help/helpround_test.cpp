// The Help button through the wizard: the entry window gives way to the help window and comes back as it was.
#include "frmhelp.h"
#include "scriptedplatform.h"
#include "wizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using namespace quorvale;

class HelpRound : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(wizard.start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&entry()));
    }

    Form1& entry() { return wizard.entryWindow(); }

    void pressHelp()
    {
        auto* cmdHelp = entry().findChild<QPushButton*>(QStringLiteral("cmdHelp"));
        ASSERT_NE(cmdHelp, nullptr);
        QTest::mouseClick(cmdHelp, Qt::LeftButton);
    }

    // The help windows on screen; a closed one has deleted itself.
    QList<frmHelp*> shownHelpWindows()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QList<frmHelp*> shown;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* help = qobject_cast<frmHelp*>(window); help && help->isVisible())
                shown.append(help);
        return shown;
    }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    Wizard wizard{platform, DataSheetFolder{QFile::encodeName(folder.path()).toStdString(), {}}};
};

TEST_F(HelpRound, HelpHidesTheEntryWindowAndAClickBringsItBackIntact)
{
    auto* txtPartNumber = entry().findChild<QLineEdit*>(QStringLiteral("txtPartNumber"));
    auto* check2 = entry().findChild<QCheckBox*>(QStringLiteral("Check2"));
    ASSERT_NE(txtPartNumber, nullptr);
    ASSERT_NE(check2, nullptr);
    txtPartNumber->setText(QStringLiteral("Edited 7"));
    check2->setChecked(false);

    pressHelp();
    ASSERT_EQ(shownHelpWindows().size(), 1);
    EXPECT_FALSE(entry().isVisible());

    QTest::mouseClick(shownHelpWindows().front(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(shownHelpWindows().isEmpty());
    EXPECT_TRUE(entry().isVisible());
    EXPECT_EQ(txtPartNumber->text(), "Edited 7");
    EXPECT_FALSE(check2->isChecked());
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(HelpRound, EveryHelpPressShowsAFreshCentredWindow)
{
    for (int round = 0; round < 2; ++round) {
        pressHelp();
        const QList<frmHelp*> shown = shownHelpWindows();
        ASSERT_EQ(shown.size(), 1);
        const QRect screen = shown.front()->screen()->geometry();
        EXPECT_EQ(shown.front()->geometry().center(), screen.center());

        QTest::keyClick(shown.front()->windowHandle(), Qt::Key_Escape);
        EXPECT_TRUE(shownHelpWindows().isEmpty());
        EXPECT_TRUE(entry().isVisible());
    }
}

} // namespace

// Every window and dialog gives each access key (the letter after "&" in a caption) to one control
// only, and the entry and output windows keep the keys their captions have always given.
#include "gaugedialog.h"
#include "keyspage.h"
#include "openrunwindow.h"
#include "scriptedplatform.h"
#include "whenup.h"
#include "wizard.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace {

using namespace quorvale;

// The access key of a caption, upper case; none where it has none ("&&" is a plain "&").
QChar accessKey(const QString& caption)
{
    for (qsizetype at = 0; at + 1 < caption.size(); ++at) {
        if (caption[at] != QLatin1Char('&'))
            continue;
        if (caption[at + 1] != QLatin1Char('&'))
            return caption[at + 1].toUpper();
        ++at;
    }
    return {};
}

// Each access key of the window's own controls (not those of windows it owns) with the captions that give it.
std::map<QChar, QStringList> accessKeys(const QWidget& window)
{
    std::map<QChar, QStringList> keys;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window)
            continue;
        QString caption;
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            caption = button->text();
        else if (const auto* label = qobject_cast<const QLabel*>(widget))
            caption = label->text();
        else if (const auto* group = qobject_cast<const QGroupBox*>(widget))
            caption = group->title();
        if (const QChar key = accessKey(caption); !key.isNull())
            keys[key] << caption;
    }
    return keys;
}

// The keys, as one text ("B C F O"), after checking that none is given twice.
QString uniqueKeys(const QWidget& window)
{
    QStringList letters;
    for (const auto& [key, captions] : accessKeys(window)) {
        EXPECT_EQ(captions.size(), 1) << window.objectName().toStdString() << ": Alt+" << QString(key).toStdString()
                                      << " is given by " << captions.join(QStringLiteral(", ")).toStdString();
        letters << key;
    }
    return letters.join(QLatin1Char(' '));
}

TEST(AccessKeys, FindsTheLetterAfterASingleAmpersand)
{
    EXPECT_EQ(accessKey(QStringLiteral("Stop &bits:")), QLatin1Char('B'));
    EXPECT_EQ(accessKey(QStringLiteral("<< &Back")), QLatin1Char('B'));
    EXPECT_TRUE(accessKey(QStringLiteral("Nuts && Bolts")).isNull());
    EXPECT_EQ(accessKey(QStringLiteral("A&&B &C")), QLatin1Char('C'));
    EXPECT_TRUE(accessKey(QStringLiteral("Ends with &")).isNull());
}

class EveryWindow : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(wizard.start()); }

    QTemporaryDir folder;
    ScriptedPlatform platform;
    Wizard wizard{platform, DataSheetFolder{QFile::encodeName(folder.path()).toStdString(), {}}};
};

TEST_F(EveryWindow, GivesEachAccessKeyOnce)
{
    Form1& entry = wizard.entryWindow();
    EXPECT_EQ(uniqueKeys(entry), "C F H N P X");

    QString gaugeKeys;
    bool escapeClosedTheGaugeDialog = false;
    test::whenUp<GaugeDialog>([&](GaugeDialog* dialog) {
        gaugeKeys = uniqueKeys(*dialog);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dialog, Qt::Key_Escape);
        escapeClosedTheGaugeDialog = !dialog->isVisible();
        dialog->reject();
    });
    entry.findChild<QAction*>(QStringLiteral("actGauge"))->trigger();
    EXPECT_EQ(gaugeKeys, "A B D E L P R S T");
    EXPECT_TRUE(escapeClosedTheGaugeDialog);

    OpenRunWindow openRun({}, &entry);
    EXPECT_EQ(uniqueKeys(openRun), "C F O");
    KeysPage keysPage(QStringLiteral("runs.sqlite"));
    EXPECT_EQ(uniqueKeys(keysPage), "C");

    QTest::mouseClick(entry.findChild<QAbstractButton*>(QStringLiteral("cmdNext")), Qt::LeftButton);
    ASSERT_NE(wizard.outputWindow(), nullptr);
    EXPECT_EQ(uniqueKeys(*wizard.outputWindow()), "B C F O");
}

} // namespace

// A gauge on a pseudo-terminal logging into the entry window: every reading at 9600 baud's pace, in
// order, as if typed; what is no reading stays out; readings wait while the inspector types; the
// Gauge dialog sets the port up and remembers it.
#include "datasheet.h"
#include "datasheetfile.h"
#include "form1.h"
#include "gaugeconnection.h"
#include "gaugedialog.h"
#include "pseudogauge.h"
#include "readingof.h"
#include "readingsgrid.h"
#include "scriptedplatform.h"
#include "whenup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <thread>

using namespace quorvale;
using test::PseudoGauge;
using test::whenUp;

namespace {

class GaugeInEntryWindow : public testing::Test {
protected:
    GaugeInEntryWindow()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath("settings"));
        QObject::connect(&m_gaugeConnection, &GaugeConnection::readingReceived, &m_form, &Form1::logGaugeReading);
        m_grid->setClock([this] { return m_now; });
        m_form.show();
        m_form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_form));
    }

    void connectGauge()
    {
        GaugeSettings settings;
        settings.port = m_gauge.path();
        m_form.gauge().start(settings);
        ASSERT_TRUE(m_form.gauge().isConnected()) << m_form.gauge().state().toStdString();
    }

    std::vector<std::string> values() const
    {
        std::vector<std::string> values;
        for (const Reading& reading : m_grid->readings())
            values.push_back(reading.value.text());
        return values;
    }

    // Lets the program take what the gauge sent until the grid holds count readings.
    void waitForReadings(std::size_t count, int milliseconds = 5000)
    {
        QElapsedTimer waited;
        waited.start();
        while (m_grid->readings().size() < count && waited.elapsed() < milliseconds)
            QTest::qWait(20);
    }

    QString gaugeNote() const { return m_grid->note(ReadingsGrid::NoteSource::Gauge); }

    QTemporaryDir m_dir;
    PseudoGauge m_gauge{m_dir.filePath("gauge")};
    ScriptedPlatform m_platform;
    DataSheetFile m_sheet{DataSheetFolder{m_dir.path().toStdString(), {}}};
    GaugeConnection m_gaugeConnection;
    Form1 m_form{m_platform, m_sheet, m_gaugeConnection};
    ReadingsGrid* m_grid = m_form.findChild<ReadingsGrid*>(QStringLiteral("lv1"));
    QDateTime m_now{QDate(2026, 12, 7), QTime(9, 0), Qt::UTC};
};

} // namespace

TEST_F(GaugeInEntryWindow, AThousandReadingsAtNineThousandSixHundredBaudArriveInOrder)
{
    connectGauge();
    EXPECT_EQ(gaugeNote(), "Gauge " + m_gauge.path() + " connected");
    auto* partNumber = m_form.findChild<QLineEdit*>(QStringLiteral("txtPartNumber"));
    partNumber->setFocus();

    // Both formats, both decimal marks, both line ends, the sign both ways.
    constexpr int Count = 1000;
    std::vector<std::string> expected;
    std::string lines;
    for (int i = 0; i < Count; ++i) {
        const bool fixed = i % 2 == 0;
        const bool negative = i % 4 == 2;
        const int whole = fixed ? 25 + i / 100 : i / 10;
        char fraction[8];
        std::snprintf(fraction, sizeof fraction, "%03d", i % 1000);
        char line[32];
        if (fixed)
            std::snprintf(line, sizeof line, "01A%c%05d.%s\r", negative ? '-' : '+', whole, fraction);
        else
            std::snprintf(line, sizeof line, " %d,%s\r\n", whole, fraction);
        lines += line;
        expected.push_back((negative ? "-" : "") + std::to_string(whole) + "." + fraction);
    }
    std::thread sender([&] {
        for (std::size_t start = 0; start < lines.size(); start += 64)
            m_gauge.send(lines.substr(start, 64), /*bytesPerSecond*/ 960);
    });
    waitForReadings(Count, 60000);
    sender.join();
    EXPECT_EQ(values(), expected);
    // Logged around the inspector, who goes on typing where he was.
    EXPECT_EQ(QApplication::focusWidget(), partNumber);
}

TEST_F(GaugeInEntryWindow, WhatIsNoReadingIsNotLoggedAndSaysSo)
{
    connectGauge();
    // A note goes once what it reports is over: a reading came after all.
    m_gauge.send("ERR 3\r" + std::string(400, '1') + "\r");
    QTest::qWait(300);
    EXPECT_EQ(gaugeNote(), "Gauge sent a line longer than 256 bytes: dropped.");
    m_gauge.send("25.013\r");
    waitForReadings(1);
    EXPECT_EQ(values(), std::vector<std::string>{"25.013"});
    EXPECT_EQ(gaugeNote(), "");
    m_gauge.send("ERR 3\r");
    QTest::qWait(300);
    EXPECT_EQ(gaugeNote(), "Gauge sent \"ERR 3\": not a reading.");
    EXPECT_EQ(values(), std::vector<std::string>{"25.013"});
}

TEST_F(GaugeInEntryWindow, AReadingWaitsWhileTheEditorIsOpenAndKeepsItsTimeOfArrival)
{
    connectGauge();
    m_grid->setFocus();
    QTest::keyClick(m_grid, '0');
    const QDateTime arrival = m_now.addSecs(3600);
    m_now = arrival;
    m_gauge.send("01A+00025.013\r01A+00025.014\r");
    QTest::qWait(500);
    EXPECT_TRUE(m_grid->showsSamples());

    // A typed reading arrives with its Enter.
    m_now = arrival.addSecs(3600);
    const QDateTime typed = m_now;
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, ".5");
    QTest::keyClick(editor, Qt::Key_Return);
    waitForReadings(3);
    EXPECT_EQ(m_grid->readings(), (std::vector<Reading>{ReadingOf(typed.toSecsSinceEpoch(), 0, "0.5"),
                                                        ReadingOf(arrival.toSecsSinceEpoch(), 0, "25.013"),
                                                        ReadingOf(arrival.toSecsSinceEpoch(), 0, "25.014")}));
}

TEST_F(GaugeInEntryWindow, TheDialogTestsTheSettingsAndKeepsThemOnOk)
{
    GaugeSettings chosen;
    whenUp<GaugeDialog>([&](GaugeDialog* dialog) {
        dialog->findChild<QComboBox*>(QStringLiteral("cmbPort"))->setCurrentText(m_gauge.path());
        auto* speed = dialog->findChild<QComboBox*>(QStringLiteral("cmbSpeed"));
        speed->setCurrentIndex(speed->findText(QStringLiteral("19200")));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnTest")), Qt::LeftButton);
        m_gauge.send("01A+00001.000\r");
        auto* lastLine = dialog->findChild<QLabel*>(QStringLiteral("lblLastLine"));
        for (int waited = 0; !lastLine->text().contains("01A") && waited < 100; ++waited)
            QTest::qWait(20);
        EXPECT_EQ(lastLine->text(), "Last line received: \"01A+00001.000\"");
        chosen = dialog->settings();
        dialog->accept();
    });
    m_form.findChild<QAction*>(QStringLiteral("actGauge"))->trigger();

    EXPECT_TRUE(m_grid->readings().empty()) << "the line the test asked for was logged";
    EXPECT_EQ(chosen.port, m_gauge.path());
    EXPECT_EQ(chosen.speed, 19200);
    EXPECT_EQ(m_form.gauge().settings(), chosen);
    EXPECT_TRUE(m_form.gauge().isConnected());
    QSettings settings;
    EXPECT_EQ(LoadGaugeSettings(settings), chosen);

    // Cancel after a test goes back to the gauge as it was.
    whenUp<GaugeDialog>([&](GaugeDialog* dialog) {
        dialog->findChild<QComboBox*>(QStringLiteral("cmbPort"))->setCurrentText(m_dir.filePath("other"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnTest")), Qt::LeftButton);
        EXPECT_FALSE(m_form.gauge().isConnected());
        dialog->reject();
    });
    m_form.findChild<QAction*>(QStringLiteral("actGauge"))->trigger();
    EXPECT_EQ(m_form.gauge().settings(), chosen);
    EXPECT_TRUE(m_form.gauge().isConnected());
}

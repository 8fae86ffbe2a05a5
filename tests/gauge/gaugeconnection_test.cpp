// The gauge on a pseudo-terminal: what it sends, the device going away and coming back, a port that
// cannot be opened.
#include "gaugeconnection.h"
#include "gaugeportfailure.h"
#include "pseudogauge.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace quorvale;
using test::PseudoGauge;

namespace {

class GaugeOnPty : public testing::Test {
protected:
    void connectGauge(GaugeSettings settings = {})
    {
        settings.port = m_gauge.path();
        m_connection.start(settings);
        ASSERT_TRUE(m_connection.isConnected()) << m_connection.state().toStdString();
        EXPECT_EQ(m_connection.state(), "Gauge " + m_gauge.path() + " connected");
    }

    QStringList readingsAfter(const std::string& bytes, int count)
    {
        m_readings.clear();
        m_gauge.send(bytes);
        for (int waited = 0; m_readings.count() < count && waited < 50; ++waited)
            m_readings.wait(100);
        QStringList values;
        for (const QList<QVariant>& reading : m_readings)
            values << reading.front().toString();
        return values;
    }

    QTemporaryDir m_dir;
    PseudoGauge m_gauge{m_dir.filePath("gauge")};
    GaugeConnection m_connection;
    QSignalSpy m_readings{&m_connection, &GaugeConnection::readingReceived};
    QSignalSpy m_notes{&m_connection, &GaugeConnection::noteChanged};
};

} // namespace

TEST_F(GaugeOnPty, HandsOnReadingsAndSaysWhatItDoesNotTake)
{
    connectGauge();
    EXPECT_EQ(readingsAfter("01A+00025.013\rERR 3\r\n-0,002\r\n", 2), (QStringList{"25.013", "-0.002"}));
    EXPECT_TRUE(m_notes.contains({QStringLiteral("Gauge sent \"ERR 3\": not a reading.")}));
    EXPECT_EQ(m_connection.lastLine(), "-0,002");

    EXPECT_EQ(readingsAfter("01A+1000000000.001\r-1000000000\r", 1), QStringList{"-1000000000"});
    EXPECT_TRUE(m_notes.contains(
        {QStringLiteral("Gauge sent \"01A+1000000000.001\": beyond 1000000000 either way, not logged.")}));

    EXPECT_EQ(readingsAfter(std::string(300, '9') + "\r1.5\r", 1), QStringList{"1.5"});
    EXPECT_TRUE(m_notes.contains({QStringLiteral("Gauge sent a line longer than 256 bytes: dropped.")}));

    m_notes.clear();
    m_gauge.send("25.0");
    ASSERT_TRUE(m_notes.wait(GaugeConnection::UnendedMilliseconds + 2000));
    EXPECT_EQ(m_notes.last().front(), "Gauge sent \"25.0\" without a line end: dropped.");
    EXPECT_TRUE(readingsAfter("7\r", 1) == QStringList{"7"});
}

TEST_F(GaugeOnPty, SendsTheRequestOnAskingAndEveryInterval)
{
    m_connection.sendRequest();
    EXPECT_EQ(m_notes.last().front(), "No gauge is set up (Gauge..., Ctrl+G).");
    connectGauge();
    m_connection.sendRequest();
    EXPECT_EQ(m_notes.last().front(), "The gauge has no request string to send (Gauge..., Ctrl+G).");

    GaugeSettings settings;
    settings.request = QStringLiteral("?\\r");
    settings.requestInterval = 1;
    connectGauge(settings);
    m_connection.sendRequest();
    EXPECT_EQ(m_gauge.received(), "?\r");
    QTest::qWait(1500);
    EXPECT_EQ(m_gauge.received(), "?\r");
}

TEST_F(GaugeOnPty, ConnectsAgainToADeviceThatComesBackAtTheSameName)
{
    connectGauge();
    m_gauge.unplug();
    for (int waited = 0; m_connection.isConnected() && waited < 20; ++waited)
        QTest::qWait(100);
    ASSERT_FALSE(m_connection.isConnected());
    EXPECT_EQ(m_connection.state(), "Gauge " + m_gauge.path() + " disconnected");

    // Still "disconnected" while it is tried again and missing.
    QTest::qWait(2 * GaugeConnection::RetryMilliseconds);
    EXPECT_EQ(m_connection.state(), "Gauge " + m_gauge.path() + " disconnected");

    m_gauge.plugIn();
    QElapsedTimer back;
    back.start();
    while (!m_connection.isConnected() && back.elapsed() < 5000)
        QTest::qWait(20);
    EXPECT_LT(back.elapsed(), 2000);
    EXPECT_EQ(m_connection.state(), "Gauge " + m_gauge.path() + " connected");
    EXPECT_EQ(readingsAfter("01A-00001.500\r", 1), QStringList{"-1.500"});
}

TEST_F(GaugeOnPty, APortAnotherProgramHoldsIsNeitherOpenedNorRead)
{
    const int held = ::open(m_gauge.devicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    GaugeSettings settings;
    settings.port = m_gauge.path();
    m_connection.start(settings);
    EXPECT_FALSE(m_connection.isConnected());
    EXPECT_EQ(m_connection.state(), "Gauge " + m_gauge.path() + " cannot be opened: another program is using it.");
    m_gauge.send("25.013\r");
    QTest::qWait(3 * GaugeConnection::RetryMilliseconds);
    EXPECT_EQ(m_readings.count(), 0);

    // Let go, the port is this program's; what the other program was sent is not taken for a reading.
    ::close(held);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_connection.isConnected(); }, 3000));
    EXPECT_EQ(readingsAfter("7\r", 1), QStringList{"7"});
    const int other = ::open(m_gauge.devicePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
}

TEST(GaugePortFailure, SaysWhyThePortCannotBeOpened)
{
    QTemporaryDir dir;
    GaugeConnection connection;
    GaugeSettings settings;
    settings.port = dir.filePath("missing");
    connection.start(settings);
    EXPECT_FALSE(connection.isConnected());
    EXPECT_EQ(connection.state(),
              "Gauge " + settings.port + " cannot be opened: there is no such device (is the gauge plugged in?).");

    // Held by another program.
    PseudoGauge held(dir.filePath("held"));
    settings.port = held.path();
    GaugeConnection first;
    first.start(settings);
    ASSERT_TRUE(first.isConnected()) << first.state().toStdString();
    connection.start(settings);
    EXPECT_EQ(connection.state(), "Gauge " + settings.port + " cannot be opened: another program is using it.");

    // Permission, as a user who may not open the terminal (root may open anything): the reason names
    // the terminal's group.
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    PseudoGauge gauge(dir.filePath("gauge"));
    struct stat device {};
    ASSERT_EQ(::stat(gauge.devicePath().c_str(), &device), 0);
    const std::string group = ::getgrgid(device.st_gid)->gr_name;
    ASSERT_EQ(::chmod(gauge.devicePath().c_str(), 0660), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        const std::string reason = GaugeOpenFailure(gauge.devicePath());
        ::_exit(reason == "permission denied (join the group \"" + group + "\": sudo usermod -aG " + group +
                              " $USER, then log in again)"
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

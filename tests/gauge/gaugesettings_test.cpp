#include "gaugesettings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quorvale;

TEST(GaugeSettings, AreRememberedAndFallBackToTheDefaults)
{
    QTemporaryDir dir;
    QSettings settings(dir.filePath("quorvale.conf"), QSettings::IniFormat);
    EXPECT_EQ(LoadGaugeSettings(settings), GaugeSettings{});

    GaugeSettings gauge;
    gauge.port = QStringLiteral("/dev/serial/by-id/usb-Gauge_Cable-if00-port0");
    gauge.speed = 4800;
    gauge.dataBits = QSerialPort::Data7;
    gauge.parity = QSerialPort::EvenParity;
    gauge.stopBits = QSerialPort::TwoStop;
    gauge.lineEnd = GaugeLineEnd::Lf;
    gauge.request = QStringLiteral("1\\r");
    gauge.requestInterval = 5;
    SaveGaugeSettings(settings, gauge);
    EXPECT_EQ(LoadGaugeSettings(settings), gauge);

    // A hand-edited speed the port cannot take is not used.
    settings.setValue(QStringLiteral("Gauge/speed"), 5000);
    EXPECT_EQ(LoadGaugeSettings(settings).speed, 9600);
}

TEST(GaugeSettings, TakeThePortAndSpeedFromTheCommandLine)
{
    GaugeSettings remembered;
    remembered.speed = 4800;
    remembered.request = QStringLiteral("?");

    const auto plain = GaugeFromCommandLine(QStringLiteral("/dev/ttyUSB0"), remembered);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->port, "/dev/ttyUSB0");
    EXPECT_EQ(plain->speed, 4800);
    EXPECT_EQ(plain->request, "?");

    const auto withSpeed = GaugeFromCommandLine(QStringLiteral("/dev/ttyACM0:115200"), remembered);
    ASSERT_TRUE(withSpeed);
    EXPECT_EQ(withSpeed->port, "/dev/ttyACM0");
    EXPECT_EQ(withSpeed->speed, 115200);

    // A path's own colons are no speed.
    const QString byPath = QStringLiteral("/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0");
    EXPECT_EQ(GaugeFromCommandLine(byPath, remembered)->port, byPath);

    EXPECT_FALSE(GaugeFromCommandLine(QStringLiteral("/dev/ttyUSB0:5000"), remembered));
    EXPECT_FALSE(GaugeFromCommandLine(QStringLiteral(":9600"), remembered));
}

TEST(GaugeSettings, RequestStringsWriteCrAndLfOut)
{
    EXPECT_EQ(GaugeRequestBytes(QStringLiteral("?\\r\\n")), QByteArray("?\r\n"));
    EXPECT_EQ(GaugeRequestBytes(QStringLiteral("a\\\\r\\x")), QByteArray("a\\r\\x"));
    EXPECT_EQ(GaugeRequestBytes(QStringLiteral("\\")), QByteArray("\\"));
}

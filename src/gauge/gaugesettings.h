// How the gauge is connected: its port and line settings, remembered in the settings between runs,
// and the PORT[:SPEED] form of the command line.
#pragma once

#include "gaugeline.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>

#include <array>
#include <optional>

class QSettings;

namespace quorvale {

inline constexpr std::array<qint32, 8> GaugeSpeeds = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

struct GaugeSettings {
    QString port; // none set when empty
    qint32 speed = 9600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    GaugeLineEnd lineEnd = GaugeLineEnd::Either;
    QString request;         // sent on F5; "\r" and "\n" stand for CR and LF
    int requestInterval = 0; // seconds between requests; 0 sends only on F5

    bool operator==(const GaugeSettings&) const = default;
};

GaugeSettings LoadGaugeSettings(QSettings& settings);
void SaveGaugeSettings(QSettings& settings, const GaugeSettings& gauge);

// "/dev/ttyUSB0" or "/dev/ttyUSB0:19200" over the remembered settings; nothing when the speed is
// not one of GaugeSpeeds. A port name may hold colons of its own: only digits after the last one are a speed.
std::optional<GaugeSettings> GaugeFromCommandLine(const QString& portAndSpeed, GaugeSettings settings);

// The request string's bytes, with "\r", "\n" and "\\" written out.
QByteArray GaugeRequestBytes(const QString& request);

} // namespace quorvale

// The gauge on its serial port, held for this program alone: reads its lines, hands on the readings,
// says what it does not take, and keeps the port open: a gauge unplugged and plugged in again at the same name is
// connected again without the user doing anything.
#pragma once

#include "gaugeline.h"
#include "gaugeportlock.h"
#include "gaugesettings.h"

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <optional>

namespace quorvale {

class GaugeConnection final : public QObject {
    Q_OBJECT

public:
    // How often a port that is gone or cannot be opened is tried again.
    static constexpr int RetryMilliseconds = 500;
    // How long bytes may wait for their line end before they are dropped.
    static constexpr int UnendedMilliseconds = 2000;

    explicit GaugeConnection(QObject* parent = nullptr);

    // Opens the port with these settings, after closing any other, and keeps trying until it opens.
    // An empty port name only closes.
    void start(const GaugeSettings& settings);
    const GaugeSettings& settings() const { return m_settings; }
    bool isConnected() const { return m_port.isOpen(); }
    // "Gauge /dev/ttyUSB0 connected", "... disconnected", or why the port cannot be opened; empty with no gauge set.
    const QString& state() const { return m_state; }
    // The last complete line received, as it came.
    const QString& lastLine() const { return m_lastLine; }

    // Sends the request string to a gauge that answers one; without a gauge, a string or the port open,
    // notes why nothing is sent.
    void sendRequest();

signals:
    // A line that is a reading: its value as the inspector would type it.
    void readingReceived(const QString& value);
    // Any complete line, as it came.
    void lineReceived(const QString& line);
    // The port's state changed, or a line was not taken: the text to show.
    void noteChanged(const QString& note);

private:
    void tryOpen();
    void close();
    void readLines();
    void take(const GaugeLine& line);
    void portFailed(QSerialPort::SerialPortError error);
    void dropUnended();
    void setState(const QString& state);
    QString named(const char* what) const;

    GaugePortLock m_lock; // held while the port is open
    QSerialPort m_port;
    GaugeSettings m_settings;
    std::optional<GaugeLineReader> m_reader;
    QTimer m_retry;
    QTimer m_request;
    QTimer m_unended;
    QString m_state;
    QString m_lastLine;
    bool m_disconnected = false; // went away while open, and is being tried again
};

} // namespace quorvale

#include "gaugeconnection.h"

#include "gaugeportfailure.h"
#include "reading.h"

#include <QFile>

#include <sys/ioctl.h>

namespace quorvale {

namespace {

// What the port's read buffer may hold while the program is busy; the rest waits in the system.
constexpr qint64 ReadBufferBytes = 64 * 1024;

QString noteText(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Why a port held by another program (by its lock, or opened exclusively) is not opened.
const QString InUse = QStringLiteral("another program is using it");

} // namespace

GaugeConnection::GaugeConnection(QObject* parent) : QObject(parent)
{
    m_port.setReadBufferSize(ReadBufferBytes);
    m_retry.setInterval(RetryMilliseconds);
    m_unended.setSingleShot(true);
    m_unended.setInterval(UnendedMilliseconds);
    connect(&m_port, &QSerialPort::readyRead, this, &GaugeConnection::readLines);
    connect(&m_port, &QSerialPort::errorOccurred, this, &GaugeConnection::portFailed);
    connect(&m_retry, &QTimer::timeout, this, &GaugeConnection::tryOpen);
    connect(&m_request, &QTimer::timeout, this, &GaugeConnection::sendRequest);
    connect(&m_unended, &QTimer::timeout, this, &GaugeConnection::dropUnended);
}

void GaugeConnection::start(const GaugeSettings& settings)
{
    close();
    m_retry.stop();
    m_request.stop();
    m_unended.stop();
    m_settings = settings;
    m_disconnected = false;
    m_reader.emplace(settings.lineEnd);
    if (settings.port.isEmpty()) {
        setState({});
        return;
    }
    m_port.setPortName(settings.port);
    m_port.setBaudRate(settings.speed);
    m_port.setDataBits(settings.dataBits);
    m_port.setParity(settings.parity);
    m_port.setStopBits(settings.stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (settings.requestInterval > 0 && !settings.request.isEmpty())
        m_request.start(settings.requestInterval * 1000);
    m_retry.start();
    tryOpen();
}

void GaugeConnection::tryOpen()
{
    if (m_port.isOpen())
        return;
    const std::string device = QFile::encodeName(m_settings.port).toStdString();
    // Held by another program: not opened at all, so that nothing of its port changes, nor is read here.
    if (!m_lock.take(device)) {
        if (!m_disconnected)
            setState(named("cannot be opened") + QStringLiteral(": %1.").arg(InUse));
        return;
    }
    if (m_port.open(QIODevice::ReadWrite)) {
        // Nobody else may open it while it is this program's (root excepted, as the system has it).
        ::ioctl(m_port.handle(), TIOCEXCL);
        m_port.clear(QSerialPort::Input);
        m_disconnected = false;
        setState(named("connected"));
        return;
    }
    m_lock.release();
    // A gauge that went away stays "disconnected" while it is being tried again.
    if (m_disconnected)
        return;
    QString reason = noteText(GaugeOpenFailure(device));
    // The user may open it, yet it did not open: it is held (locked or opened exclusively).
    if (reason.isEmpty())
        reason = m_port.error() == QSerialPort::PermissionError ? InUse : m_port.errorString();
    setState(named("cannot be opened") + QStringLiteral(": %1.").arg(reason));
}

void GaugeConnection::portFailed(QSerialPort::SerialPortError error)
{
    // Opening reports its own reason. A device that goes away while open fails to be read: a USB
    // adapter with a resource error, a hung-up terminal with a read error at every try.
    if ((error != QSerialPort::ResourceError && error != QSerialPort::ReadError) || !m_port.isOpen())
        return;
    close();
    m_reader.emplace(m_settings.lineEnd);
    m_unended.stop();
    m_disconnected = true;
    setState(named("disconnected"));
}

void GaugeConnection::close()
{
    m_port.close();
    m_lock.release();
}

void GaugeConnection::readLines()
{
    const QByteArray bytes = m_port.readAll();
    for (const GaugeLine& line : m_reader->take(std::string_view(bytes.constData(), bytes.size())))
        take(line);
    if (m_reader->holdsUnended())
        m_unended.start();
    else
        m_unended.stop();
}

void GaugeConnection::take(const GaugeLine& line)
{
    if (line.kind == GaugeLine::Kind::Overlong) {
        emit noteChanged(
            QStringLiteral("Gauge sent a line longer than %1 bytes: dropped.").arg(GaugeLineReader::MaxLineBytes));
        return;
    }
    m_lastLine = QString::fromUtf8(line.text.data(), static_cast<qsizetype>(line.text.size()));
    emit lineReceived(m_lastLine);
    const std::string shown = GaugeLineForNote(line.text);
    if (const auto value = GaugeReadingValue(line.text)) {
        // The grid takes no reading beyond what the run's statistics can hold, typed or not.
        if (ReadingInRange(*value))
            emit readingReceived(QString::fromStdString(value->text()));
        else
            emit noteChanged(QStringLiteral("Gauge sent \"%1\": beyond %2 either way, not logged.")
                                 .arg(noteText(shown))
                                 .arg(LargestReading, 0, 'f', 0));
        return;
    }
    if (!shown.empty())
        emit noteChanged(QStringLiteral("Gauge sent \"%1\": not a reading.").arg(noteText(shown)));
}

void GaugeConnection::dropUnended()
{
    const std::string shown = GaugeLineForNote(m_reader->dropUnended());
    if (!shown.empty())
        emit noteChanged(QStringLiteral("Gauge sent \"%1\" without a line end: dropped.").arg(noteText(shown)));
}

void GaugeConnection::sendRequest()
{
    // F5 pressed in vain says why nothing comes.
    if (m_settings.port.isEmpty() || m_settings.request.isEmpty()) {
        emit noteChanged(m_settings.port.isEmpty() ? QStringLiteral("No gauge is set up (Gauge..., Ctrl+G).")
                                                   : QStringLiteral("The gauge has no request string to send "
                                                                    "(Gauge..., Ctrl+G)."));
        return;
    }
    if (!m_port.isOpen()) {
        emit noteChanged(m_state);
        return;
    }
    m_port.write(GaugeRequestBytes(m_settings.request));
    m_port.flush();
}

void GaugeConnection::setState(const QString& state)
{
    // A port tried again and again says its reason once.
    if (state == m_state)
        return;
    m_state = state;
    emit noteChanged(state);
}

QString GaugeConnection::named(const char* what) const
{
    return QStringLiteral("Gauge %1 %2").arg(m_settings.port, QLatin1String(what));
}

} // namespace quorvale

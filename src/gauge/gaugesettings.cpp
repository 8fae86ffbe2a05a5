#include "gaugesettings.h"

#include <QSettings>

#include <algorithm>

namespace quorvale {

namespace {

template <typename Enum> Enum enumValue(const QSettings& settings, const char* key, Enum fallback)
{
    return static_cast<Enum>(settings.value(QLatin1String(key), static_cast<int>(fallback)).toInt());
}

bool isGaugeSpeed(qint32 speed)
{
    return std::find(GaugeSpeeds.begin(), GaugeSpeeds.end(), speed) != GaugeSpeeds.end();
}

} // namespace

GaugeSettings LoadGaugeSettings(QSettings& settings)
{
    const GaugeSettings defaults;
    GaugeSettings gauge;
    settings.beginGroup(QStringLiteral("Gauge"));
    gauge.port = settings.value(QStringLiteral("port")).toString();
    gauge.speed = settings.value(QStringLiteral("speed"), defaults.speed).toInt();
    if (!isGaugeSpeed(gauge.speed))
        gauge.speed = defaults.speed;
    gauge.dataBits = enumValue(settings, "dataBits", defaults.dataBits);
    gauge.parity = enumValue(settings, "parity", defaults.parity);
    gauge.stopBits = enumValue(settings, "stopBits", defaults.stopBits);
    gauge.lineEnd = enumValue(settings, "lineEnd", defaults.lineEnd);
    gauge.request = settings.value(QStringLiteral("request")).toString();
    gauge.requestInterval = std::clamp(settings.value(QStringLiteral("requestInterval")).toInt(), 0, 3600);
    settings.endGroup();
    return gauge;
}

void SaveGaugeSettings(QSettings& settings, const GaugeSettings& gauge)
{
    settings.beginGroup(QStringLiteral("Gauge"));
    settings.setValue(QStringLiteral("port"), gauge.port);
    settings.setValue(QStringLiteral("speed"), gauge.speed);
    settings.setValue(QStringLiteral("dataBits"), static_cast<int>(gauge.dataBits));
    settings.setValue(QStringLiteral("parity"), static_cast<int>(gauge.parity));
    settings.setValue(QStringLiteral("stopBits"), static_cast<int>(gauge.stopBits));
    settings.setValue(QStringLiteral("lineEnd"), static_cast<int>(gauge.lineEnd));
    settings.setValue(QStringLiteral("request"), gauge.request);
    settings.setValue(QStringLiteral("requestInterval"), gauge.requestInterval);
    settings.endGroup();
}

std::optional<GaugeSettings> GaugeFromCommandLine(const QString& portAndSpeed, GaugeSettings settings)
{
    settings.port = portAndSpeed;
    const qsizetype colon = portAndSpeed.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return settings;
    const QString speed = portAndSpeed.mid(colon + 1);
    if (speed.isEmpty() || !std::all_of(speed.begin(), speed.end(), [](QChar c) { return c.isDigit(); }))
        return settings;
    settings.port = portAndSpeed.left(colon);
    settings.speed = speed.toInt();
    if (settings.port.isEmpty() || !isGaugeSpeed(settings.speed))
        return std::nullopt;
    return settings;
}

QByteArray GaugeRequestBytes(const QString& request)
{
    const QByteArray text = request.toUtf8();
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '\\' && (next == 'r' || next == 'n' || next == '\\')) {
            bytes += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
            ++i;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

} // namespace quorvale

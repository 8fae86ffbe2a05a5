#include "gaugeports.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <map>

namespace quorvale {

std::vector<GaugePort> GaugePortsPresent(const QString& stableNamesFolder)
{
    // Each device by the stable name that links to it.
    std::map<QString, QString> stableNames;
    const QDir folder(stableNamesFolder);
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name))
        stableNames.emplace(link.canonicalFilePath(), link.absoluteFilePath());

    std::vector<GaugePort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const QString device = info.systemLocation();
        const auto stable = stableNames.find(QFileInfo(device).canonicalFilePath());
        QString description = device;
        if (!info.description().isEmpty())
            description += QStringLiteral(", ") + info.description();
        ports.push_back({stable != stableNames.end() ? stable->second : device, description});
    }
    return ports;
}

} // namespace quorvale

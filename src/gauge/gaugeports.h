// The serial ports present, by the names that stay when a gauge is plugged into another socket.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace quorvale {

struct GaugePort {
    QString name;        // /dev/serial/by-id/... where the device has one, else its device name
    QString description; // the device name and what the device says it is
};

// stableNamesFolder is where udev keeps the stable names of the serial devices.
std::vector<GaugePort> GaugePortsPresent(const QString& stableNamesFolder = QStringLiteral("/dev/serial/by-id"));

} // namespace quorvale

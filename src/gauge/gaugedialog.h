// "Gauge...": the gauge's port and line settings. Test connects with what the dialog shows and
// shows the last line received; OK keeps the settings, Cancel goes back to the ones before.
#pragma once

#include "gaugesettings.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace quorvale {

class GaugeConnection;

class GaugeDialog final : public QDialog {
    Q_OBJECT

public:
    explicit GaugeDialog(GaugeConnection& connection, QWidget* parent = nullptr);

    // The settings as the dialog shows them.
    GaugeSettings settings() const;

    void accept() override;
    void reject() override;

private:
    void test();
    void showConnection();

    GaugeConnection& m_connection;
    const GaugeSettings m_before;
    QComboBox* m_port = nullptr;
    QComboBox* m_speed = nullptr;
    QComboBox* m_dataBits = nullptr;
    QComboBox* m_parity = nullptr;
    QComboBox* m_stopBits = nullptr;
    QComboBox* m_lineEnd = nullptr;
    QLineEdit* m_request = nullptr;
    QSpinBox* m_interval = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_lastLine = nullptr;
};

} // namespace quorvale

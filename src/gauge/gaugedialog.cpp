#include "gaugedialog.h"

#include "gaugeconnection.h"
#include "gaugeports.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <initializer_list>
#include <utility>

namespace quorvale {

namespace {

QComboBox* choices(const char* name, std::initializer_list<std::pair<const char*, int>> items, int chosen)
{
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    for (const auto& [text, value] : items)
        box->addItem(QString::fromUtf8(text), value);
    box->setCurrentIndex(std::max(0, box->findData(chosen)));
    return box;
}

template <typename Enum> Enum chosen(const QComboBox* box)
{
    return static_cast<Enum>(box->currentData().toInt());
}

} // namespace

GaugeDialog::GaugeDialog(GaugeConnection& connection, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_before(connection.settings())
{
    setObjectName(QStringLiteral("GaugeDialog"));
    setWindowTitle(QStringLiteral("Gauge"));

    m_port = new QComboBox;
    m_port->setObjectName(QStringLiteral("cmbPort"));
    m_port->setEditable(true);
    m_port->setMinimumContentsLength(36);
    for (const GaugePort& port : GaugePortsPresent()) {
        m_port->addItem(port.name);
        m_port->setItemData(m_port->count() - 1, port.description, Qt::ToolTipRole);
    }
    m_port->setCurrentText(m_before.port);
    m_port->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));

    m_speed = new QComboBox;
    m_speed->setObjectName(QStringLiteral("cmbSpeed"));
    for (const qint32 speed : GaugeSpeeds)
        m_speed->addItem(QString::number(speed), speed);
    m_speed->setCurrentIndex(m_speed->findData(m_before.speed));

    m_dataBits = choices(
        "cmbDataBits",
        {{"8", QSerialPort::Data8}, {"7", QSerialPort::Data7}, {"6", QSerialPort::Data6}, {"5", QSerialPort::Data5}},
        m_before.dataBits);
    m_parity = choices("cmbParity",
                       {{"None", QSerialPort::NoParity},
                        {"Even", QSerialPort::EvenParity},
                        {"Odd", QSerialPort::OddParity},
                        {"Mark", QSerialPort::MarkParity},
                        {"Space", QSerialPort::SpaceParity}},
                       m_before.parity);
    m_stopBits = choices(
        "cmbStopBits", {{"1", QSerialPort::OneStop}, {"1.5", QSerialPort::OneAndHalfStop}, {"2", QSerialPort::TwoStop}},
        m_before.stopBits);
    m_lineEnd = choices("cmbLineEnd",
                        {{"CR or LF", static_cast<int>(GaugeLineEnd::Either)},
                         {"CR", static_cast<int>(GaugeLineEnd::Cr)},
                         {"LF", static_cast<int>(GaugeLineEnd::Lf)}},
                        static_cast<int>(m_before.lineEnd));

    m_request = new QLineEdit(m_before.request);
    m_request->setObjectName(QStringLiteral("txtRequest"));
    m_request->setPlaceholderText(QStringLiteral("none: the gauge sends on its button"));
    m_request->setToolTip(QStringLiteral("Sent on F5; \\r stands for CR and \\n for LF."));
    m_interval = new QSpinBox;
    m_interval->setObjectName(QStringLiteral("spnRequestInterval"));
    m_interval->setRange(0, 3600);
    m_interval->setSuffix(QStringLiteral(" s"));
    m_interval->setSpecialValueText(QStringLiteral("only on F5"));
    m_interval->setValue(m_before.requestInterval);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Port:"), m_port);
    form->addRow(QStringLiteral("&Speed (baud):"), m_speed);
    form->addRow(QStringLiteral("&Data bits:"), m_dataBits);
    form->addRow(QStringLiteral("P&arity:"), m_parity);
    form->addRow(QStringLiteral("Stop &bits:"), m_stopBits);
    form->addRow(QStringLiteral("&Line end:"), m_lineEnd);
    form->addRow(QStringLiteral("&Request:"), m_request);
    form->addRow(QStringLiteral("Request &every:"), m_interval);

    m_state = new QLabel;
    m_state->setObjectName(QStringLiteral("lblGaugeState"));
    m_state->setWordWrap(true);
    m_lastLine = new QLabel;
    m_lastLine->setObjectName(QStringLiteral("lblLastLine"));
    m_lastLine->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* testButton = buttons->addButton(QStringLiteral("&Test"), QDialogButtonBox::ActionRole);
    testButton->setObjectName(QStringLiteral("btnTest"));
    connect(testButton, &QPushButton::clicked, this, &GaugeDialog::test);
    connect(buttons, &QDialogButtonBox::accepted, this, &GaugeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GaugeDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_state);
    layout->addWidget(m_lastLine);
    layout->addWidget(buttons);

    connect(&m_connection, &GaugeConnection::noteChanged, this, &GaugeDialog::showConnection);
    connect(&m_connection, &GaugeConnection::lineReceived, this, &GaugeDialog::showConnection);
    showConnection();
}

GaugeSettings GaugeDialog::settings() const
{
    GaugeSettings settings;
    settings.port = m_port->currentText().trimmed();
    settings.speed = m_speed->currentData().toInt();
    settings.dataBits = chosen<QSerialPort::DataBits>(m_dataBits);
    settings.parity = chosen<QSerialPort::Parity>(m_parity);
    settings.stopBits = chosen<QSerialPort::StopBits>(m_stopBits);
    settings.lineEnd = chosen<GaugeLineEnd>(m_lineEnd);
    settings.request = m_request->text();
    settings.requestInterval = m_interval->value();
    return settings;
}

void GaugeDialog::test()
{
    m_connection.start(settings());
    showConnection();
}

void GaugeDialog::showConnection()
{
    m_state->setText(m_connection.state().isEmpty() ? QStringLiteral("No gauge connected.") : m_connection.state());
    m_lastLine->setText(m_connection.lastLine().isEmpty()
                            ? QStringLiteral("Last line received: none yet.")
                            : QStringLiteral("Last line received: \"%1\"").arg(m_connection.lastLine()));
}

void GaugeDialog::accept()
{
    if (m_connection.settings() != settings() || !m_connection.isConnected())
        m_connection.start(settings());
    QDialog::accept();
}

void GaugeDialog::reject()
{
    if (m_connection.settings() != m_before)
        m_connection.start(m_before);
    QDialog::reject();
}

} // namespace quorvale

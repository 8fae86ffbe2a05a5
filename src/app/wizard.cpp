#include "wizard.h"

#include "datasheet.h"
#include "frmhelp.h"
#include "keyspage.h"
#include "platform.h"
#include "readingsgrid.h"
#include "runsdatabase.h"

#include <QtGlobal>

namespace quorvale {

Wizard::Wizard(Platform& platform, DataSheetFolder folder, const QString& runsDatabase,
               const RunsDataFolder& runsDataFolder)
    : m_platform(platform), m_dataSheet(std::move(folder)), m_lock(m_dataSheet.folder()),
      m_form1(m_platform, m_dataSheet, m_gauge), m_runs(m_form1, runsDatabase, runsDataFolder),
      m_runsPlace(runsDatabase.isEmpty() ? QStringLiteral("no database: this copy keeps no runs")
                                         : DescribeDatabase(runsDatabase))
{
    QObject::connect(&m_form1, &Form1::forwardRequested, &m_form1,
                     [this](const OutputFormats& formats) { showOutput(formats); });
    QObject::connect(&m_form1, &Form1::helpRequested, &m_form1, [this] { showHelp(); });
    QObject::connect(&m_form1, &Form1::keysPageRequested, &m_form1, [this] { showKeysPage(); });
    QObject::connect(&m_form1, &Form1::unloaded, &m_form1, [this] { removeDataSheet(); });
    QObject::connect(&m_gauge, &GaugeConnection::readingReceived, &m_form1,
                     [this](const QString& value) { takeGaugeReading(value); });
    QObject::connect(&m_endSignals, &EndSignals::received, &m_form1, [this](int signal) { endOnSignal(signal); });
}

Wizard::~Wizard()
{
    delete m_frmPDF.data();
    removeDataSheet();
}

bool Wizard::start()
{
    if (!m_lock.acquire()) {
        m_platform.showMessage(nullptr, {QStringLiteral("Quorvale is already running."), m_form1.windowTitle(),
                                         MessageIcon::Warning, MessageButtons::Ok, MessageAnswer::Ok});
        return false;
    }
    // After the lock: a second copy must not write a run the first one has open.
    m_runs.restore(QDate::currentDate());
    m_form1.show();
    return true;
}

void Wizard::showHelp()
{
    m_form1.hide();
    (new frmHelp(m_form1))->show();
}

void Wizard::showKeysPage()
{
    if (!m_keysPage)
        m_keysPage = new KeysPage(m_runsPlace, &m_form1);
    m_keysPage->show();
    m_keysPage->raise();
    m_keysPage->activateWindow();
}

void Wizard::showOutput(const OutputFormats& formats)
{
    m_form1.hide();
    m_frmPDF = new frmPDF(m_platform, formats, m_form1.record(), m_dataSheet.path(), &m_form1);
    QObject::connect(m_frmPDF, &frmPDF::unloaded, &m_form1, [this] { removeDataSheet(); });
    QObject::connect(m_frmPDF, &frmPDF::finishing, &m_form1, [this] { finishOutputRun(); });
    m_outputRun = m_form1.run().runKey();
    m_gaugeReadingsIncluded = 0;
    m_gaugeReadingsAfterFinish = 0;
    m_frmPDF->show();
}

void Wizard::takeGaugeReading(const QString& value)
{
    // The entry window's grid logs it, hidden or not: the output window leaves no editor open there.
    if (!m_form1.logGaugeReading(value) || !m_frmPDF)
        return;
    // A reading for the finished run started a new one, which the output window does not make.
    if (m_form1.run().runKey() != m_outputRun) {
        ++m_gaugeReadingsAfterFinish;
    } else if (m_form1.SetData()) {
        ++m_gaugeReadingsIncluded;
        m_frmPDF->setRecord(m_form1.record());
    }
    m_frmPDF->showGaugeReadings(m_gaugeReadingsIncluded, m_gaugeReadingsAfterFinish);
}

void Wizard::endOnSignal(int signal)
{
    // Ended by the session or a terminal: what is typed and what waits behind it is logged first.
    m_form1.readingsGrid().logEverythingNow();
    m_endingSignal = signal;
    m_platform.endProgram();
}

void Wizard::finishOutputRun()
{
    if (m_form1.run().runKey() == m_outputRun)
        m_form1.run().finish();
}

void Wizard::removeDataSheet()
{
    if (const Result removed = m_dataSheet.remove(); !removed)
        qWarning("Quorvale: the data sheet %s could not be deleted: %s", m_dataSheet.path().c_str(),
                 removed.reason.c_str());
}

} // namespace quorvale

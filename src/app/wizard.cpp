#include "wizard.h"

#include "datasheet.h"
#include "frmhelp.h"
#include "platform.h"

#include <QtGlobal>

#include <unistd.h>

namespace quorvale {

namespace {

// The folder whose data sheet this copy uses, for the one-copy lock: the program's where the user
// may write there, else the user's own, so that the users of one installed copy do not lock each
// other out.
std::string sheetFolder(const std::string& programFolder, const std::string& userFolder)
{
    if (userFolder.empty() || ::access(programFolder.c_str(), W_OK) == 0 || !MakePrivateFolder(userFolder))
        return programFolder;
    return userFolder;
}

} // namespace

Wizard::Wizard(Platform& platform, const std::string& programFolder, const std::string& userFolder,
               const QString& runsDatabase, const QString& userRunsDatabase)
    : m_platform(platform), m_dataSheet(DataSheetPath(programFolder), userFolder),
      m_lock(sheetFolder(programFolder, userFolder)), m_form1(m_platform, m_dataSheet),
      m_runs(m_form1, runsDatabase, userRunsDatabase)
{
    QObject::connect(&m_form1, &Form1::forwardRequested, &m_form1,
                     [this](const OutputFormats& formats) { showOutput(formats); });
    QObject::connect(&m_form1, &Form1::helpRequested, &m_form1, [this] { showHelp(); });
    QObject::connect(&m_form1, &Form1::unloaded, &m_form1, [this] { removeDataSheet(); });
}

Wizard::~Wizard()
{
    delete m_frmPDF.data();
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

void Wizard::showOutput(const OutputFormats& formats)
{
    m_form1.hide();
    m_frmPDF = new frmPDF(m_platform, formats, m_form1.record(), m_dataSheet.path(), &m_form1);
    QObject::connect(m_frmPDF, &frmPDF::unloaded, &m_form1, [this] { removeDataSheet(); });
    QObject::connect(m_frmPDF, &frmPDF::finishing, &m_form1, [this] { m_runs.finish(); });
    m_frmPDF->show();
}

void Wizard::removeDataSheet()
{
    if (const std::error_code error = m_dataSheet.remove())
        qWarning("Quorvale: the data sheet %s could not be deleted: %s", m_dataSheet.path().c_str(),
                 error.message().c_str());
}

} // namespace quorvale

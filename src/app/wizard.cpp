#include "wizard.h"

#include "datasheet.h"
#include "frmhelp.h"
#include "platform.h"

#include <QtGlobal>

#include <filesystem>

namespace quorvale {

Wizard::Wizard(Platform& platform, const std::string& programFolder)
    : m_platform(platform), m_dataSheet(DataSheetPath(programFolder)),
      m_lock(std::filesystem::path(m_dataSheet.path()).parent_path()), m_form1(m_platform, m_dataSheet)
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
    m_frmPDF->show();
}

void Wizard::removeDataSheet()
{
    if (const std::error_code error = m_dataSheet.remove())
        qWarning("Quorvale: the data sheet %s could not be deleted: %s", m_dataSheet.path().c_str(),
                 error.message().c_str());
}

} // namespace quorvale

#include "wizard.h"

#include "datasheet.h"
#include "frmhelp.h"

#include <QFile>
#include <QtGlobal>

namespace quorvale {

Wizard::Wizard(Platform& platform, const QString& programFolder)
    : m_platform(platform), m_dataSheet(DataSheetPath(QFile::encodeName(programFolder).toStdString())),
      m_form1(m_platform, m_dataSheet)
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

void Wizard::start()
{
    m_form1.show();
}

void Wizard::showHelp()
{
    m_form1.hide();
    (new frmHelp(m_form1))->show();
}

void Wizard::showOutput(const OutputFormats& formats)
{
    m_form1.hide();
    m_frmPDF =
        new frmPDF(m_platform, formats, m_form1.record(), QFile::decodeName(m_dataSheet.path().c_str()), &m_form1);
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

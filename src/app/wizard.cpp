#include "wizard.h"

#include "frmhelp.h"

#include <utility>

namespace quorvale {

Wizard::Wizard(Platform& platform, QString programFolder)
    : m_platform(platform), m_programFolder(std::move(programFolder)), m_form1(m_platform, m_programFolder)
{
    QObject::connect(&m_form1, &Form1::forwardRequested, &m_form1, [this] { showOutput(); });
    QObject::connect(&m_form1, &Form1::helpRequested, &m_form1, [this] { showHelp(); });
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

void Wizard::showOutput()
{
    m_form1.hide();
    m_frmPDF = new frmPDF(m_platform, m_programFolder, &m_form1);
    m_frmPDF->show();
}

} // namespace quorvale

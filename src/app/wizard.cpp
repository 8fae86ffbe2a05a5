#include "wizard.h"

#include <utility>

namespace quorvale {

Wizard::Wizard(Platform& platform, QString programFolder)
    : m_platform(platform), m_programFolder(std::move(programFolder)), m_form1(m_platform, m_programFolder)
{
}

void Wizard::start()
{
    m_form1.show();
}

} // namespace quorvale

// Numbers printed with a point whatever the locale, for as long as the object lives: this thread
// formats as the "C" locale does while every other category stays the user's.
#pragma once

#include <clocale>
#include <locale.h>

namespace quorvale {

class CNumericLocale final {
public:
    CNumericLocale()
        : m_numeric(newlocale(LC_NUMERIC_MASK, "C", duplocale(LC_GLOBAL_LOCALE))),
          m_previous(m_numeric ? uselocale(m_numeric) : nullptr)
    {
    }
    ~CNumericLocale()
    {
        if (m_numeric) {
            uselocale(m_previous);
            freelocale(m_numeric);
        }
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t m_numeric;
    locale_t m_previous;
};

} // namespace quorvale

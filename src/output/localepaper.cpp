#include "localepaper.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace quorvale {

namespace {

// glibc hands the paper's sizes back as numbers in the place of the text pointer.
unsigned int paperMillimetres(nl_item item, locale_t locale)
{
    union {
        const char* text;
        unsigned int number;
    } value{};
    value.text = nl_langinfo_l(item, locale);
    return value.number;
}

} // namespace

std::string PaperLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return "C";
}

bool LocaleUsesA4(const std::string& localeName)
{
    if (localeName == "C" || localeName == "POSIX" || localeName.starts_with("C."))
        return false;
    const locale_t locale = newlocale(LC_PAPER_MASK, localeName.c_str(), nullptr);
    if (locale == nullptr)
        return false;
    const bool letter =
        paperMillimetres(_NL_PAPER_WIDTH, locale) == 216 && paperMillimetres(_NL_PAPER_HEIGHT, locale) == 279;
    freelocale(locale);
    return !letter;
}

} // namespace quorvale

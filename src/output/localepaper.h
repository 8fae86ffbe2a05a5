// The paper the user's locale prints on (LC_PAPER), for the output window's default page size.
#pragma once

#include <string>

namespace quorvale {

// The locale LC_PAPER takes from the environment: LC_ALL, else LC_PAPER, else LANG.
std::string PaperLocaleName();

// Whether the locale prints on A4 rather than Letter. C and POSIX, a locale that is not installed,
// and the locales whose paper is Letter count as Letter.
bool LocaleUsesA4(const std::string& localeName);

} // namespace quorvale

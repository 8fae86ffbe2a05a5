// Finds font files through fontconfig: the free font whose widths match a standard font's, and
// an installed TrueType font that has a given character.
#pragma once

#include <set>
#include <string>
#include <string_view>

struct _FcFontSet;

namespace quorvale {

class FontLookup {
public:
    // fontname: the document's font, which ranks the installed fonts when a character is looked up.
    explicit FontLookup(std::string_view fontname);
    ~FontLookup();
    FontLookup(const FontLookup&) = delete;
    FontLookup& operator=(const FontLookup&) = delete;

    // The file of the Liberation face that stands in for a standard Times, Helvetica, Arial or
    // Courier face; empty for Symbol, ZapfDingbats, another name, or when it is not installed.
    std::string familyFile() const;
    // The first installed TrueType font, those closest to the document's font first, that has the
    // character and is not refused; empty when none has it.
    std::string fileHaving(char32_t character, const std::set<std::string>& refused);

private:
    std::string m_family; // the fontconfig family asked for
    bool m_bold = false;
    bool m_italic = false;
    bool m_standIn = false; // m_family is the metric-compatible one
    _FcFontSet* m_sorted = nullptr;
};

} // namespace quorvale

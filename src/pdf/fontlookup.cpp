#include "fontlookup.h"

#include "standardfonts.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <memory>
#include <utility>

namespace quorvale {

namespace {

struct PatternRelease {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternRelease>;

// The free family metric-compatible with each standard family.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> StandIns = {{
    {"Times", "Liberation Serif"},
    {"Helvetica", "Liberation Sans"},
    {"Courier", "Liberation Mono"},
}};

std::string text(FcPattern* pattern, const char* object)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch)
        return {};
    return reinterpret_cast<const char*>(value);
}

// Only a font file's first face is read, and only TrueType outlines go into a CIDFontType2.
bool usable(FcPattern* font)
{
    int index = 0;
    return text(font, FC_FONTFORMAT) == "TrueType" &&
           (FcPatternGetInteger(font, FC_INDEX, 0, &index) != FcResultMatch || index == 0);
}

Pattern asked(const std::string& family, bool bold, bool italic)
{
    Pattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    return pattern;
}

} // namespace

FontLookup::FontLookup(std::string_view fontname) : m_family(fontname)
{
    const std::optional<StandardFont> standard = findStandardFont(fontname);
    if (!standard)
        return;
    m_bold = standard->name.find("Bold") != std::string_view::npos;
    m_italic = standard->name.find("Italic") != std::string_view::npos ||
               standard->name.find("Oblique") != std::string_view::npos;
    for (const auto& [family, standIn] : StandIns) {
        if (standard->family == family) {
            m_family = standIn;
            m_standIn = true;
        }
    }
}

FontLookup::~FontLookup()
{
    if (m_sorted != nullptr)
        FcFontSetDestroy(m_sorted);
}

std::string FontLookup::familyFile() const
{
    if (!m_standIn)
        return {};
    const Pattern pattern = asked(m_family, m_bold, m_italic);
    FcResult result = FcResultNoMatch;
    const Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || text(match.get(), FC_FAMILY) != m_family || !usable(match.get()))
        return {};
    return text(match.get(), FC_FILE);
}

std::string FontLookup::fileHaving(char32_t character, const std::set<std::string>& refused)
{
    if (m_sorted == nullptr) {
        const Pattern pattern = asked(m_family, m_bold, m_italic);
        FcResult result = FcResultNoMatch;
        m_sorted = FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result);
        if (m_sorted == nullptr)
            return {};
    }
    for (int i = 0; i < m_sorted->nfont; ++i) {
        FcPattern* font = m_sorted->fonts[i];
        FcCharSet* characters = nullptr;
        if (FcPatternGetCharSet(font, FC_CHARSET, 0, &characters) != FcResultMatch ||
            !FcCharSetHasChar(characters, character) || !usable(font))
            continue;
        std::string file = text(font, FC_FILE);
        if (refused.count(file) == 0)
            return file;
    }
    return {};
}

} // namespace quorvale

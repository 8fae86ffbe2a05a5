#include "standardfonts.h"

#include "pdftext.h"

namespace quorvale {

namespace {

struct FontWidths {
    std::string_view name;
    CharacterWidths widths;
};

// Taken at build time from the AFM files of fonts metric-compatible with the standard ones.
constexpr FontWidths Widths[] = {
#include "standardfontwidths.inc"
};

} // namespace

std::optional<StandardFont> findStandardFont(std::string_view name)
{
    for (const StandardFont& font : StandardFonts) {
        if (sameIgnoringCase(name, font.name))
            return font;
    }
    return std::nullopt;
}

const CharacterWidths* characterWidths(std::string_view name)
{
    const std::optional<StandardFont> font = findStandardFont(name);
    for (const FontWidths& entry : Widths) {
        if (font && entry.name == font->name)
            return &entry.widths;
    }
    return nullptr;
}

std::int32_t fontFactorTenths(std::string_view name)
{
    const std::optional<StandardFont> font = findStandardFont(name);
    return font ? font->factorTenths : 22;
}

} // namespace quorvale

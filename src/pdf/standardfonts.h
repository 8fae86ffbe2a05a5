// The standard Type 1 fonts every PDF reader carries, and Arial, which readers map to Helvetica.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvale {

struct StandardFont {
    std::string_view name;
    std::string_view family;
    // Average character width per point of font size, in tenths: the row length's first estimate.
    std::int32_t factorTenths;
    // One of the faces the output window offers.
    bool offeredInWindow;
};

inline constexpr std::array<StandardFont, 15> StandardFonts = {{
    {"Courier", "Courier", 15, true},
    {"Courier-Bold", "Courier", 15, false},
    {"Courier-Oblique", "Courier", 15, false},
    {"Courier-BoldOblique", "Courier", 15, false},
    {"Helvetica", "Helvetica", 20, false},
    {"Helvetica-Bold", "Helvetica", 20, false},
    {"Helvetica-Oblique", "Helvetica", 20, false},
    {"Helvetica-BoldOblique", "Helvetica", 20, false},
    {"Times-Roman", "Times", 22, true},
    {"Times-Bold", "Times", 22, false},
    {"Times-Italic", "Times", 22, false},
    {"Times-BoldItalic", "Times", 22, false},
    {"Symbol", "Symbol", 22, false},
    {"ZapfDingbats", "ZapfDingbats", 22, false},
    {"Arial", "Helvetica", 20, true},
}};

inline constexpr std::string_view DefaultFont = "Times-Roman";

// The standard font of that name in any case; none for another name.
std::optional<StandardFont> findStandardFont(std::string_view name);

// Width of each Windows-1252 character (Symbol and ZapfDingbats: of each of their own codes) in
// thousandths of the font size; 0 where the font has no glyph.
using CharacterWidths = std::array<std::uint16_t, 256>;

// The widths of the standard font of that name in any case; none for another name.
const CharacterWidths* characterWidths(std::string_view name);

// The factor for any font name: a standard font's own, 22 for a name we have no figure for.
std::int32_t fontFactorTenths(std::string_view name);

} // namespace quorvale

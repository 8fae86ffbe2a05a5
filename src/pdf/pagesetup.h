// The page set-up a conversion is asked for, and the geometry and capacities the layout derives from it.
#pragma once

#include "standardfonts.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvale {

// Where every row begins, in points from the page's left edge.
inline constexpr std::int32_t TextLeft = 50;

struct PageSetup {
    std::string font = std::string(DefaultFont); // a PDF font name, written as given
    std::int16_t fontSize = 10;                  // points
    std::int16_t rotation = 0;                   // degrees, for the viewer: rows are laid out upright
    float width = 8.5F;                          // inches
    float height = 11;                           // inches
};

struct PageGeometry {
    std::int32_t pagewidth = 0;  // points
    std::int32_t pageheight = 0; // points
    std::string fontname;
    std::int64_t fontsize = 0; // points times 10000
    std::int64_t leading = 0;  // points times 10000
    std::int16_t rotation = 0;
    std::int32_t maxlines = 0; // rows a page
    std::int32_t maxchars = 0; // characters a row before wrapping
    // The font's character widths, none for a font without known metrics, and the widest row that
    // stays on the page, in thousandths of the font size.
    const CharacterWidths* widths = nullptr;
    std::int64_t maxRowWidth = 0;
    double footerx = 0; // where the page number begins
    std::int32_t footery = 0;
};

// Width in points of a Windows-1252 text shown in the geometry's font and size; for a font without
// known metrics, half the size a character. A WideMarker counts as nothing: wide is the width of the
// glyphs they stand for, in thousandths of the size.
double textWidth(const PageGeometry& geometry, std::string_view text, std::int64_t wide = 0);

// Derives the page geometry and capacities. Throws std::invalid_argument with a message for the user
// when the values leave no room for text or the font name cannot stand in a PDF.
PageGeometry initpdf(const PageSetup& setup);

} // namespace quorvale

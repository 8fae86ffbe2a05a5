// The objects of one embedded font: a Type 0 font over a CIDFontType2 with Identity-H codes (the
// glyph numbers), its widths, its descriptor, the TrueType file subset to the glyphs shown and a
// ToUnicode map, so that the text can be searched and copied.
#pragma once

#include "fontface.h"
#include "pdfdocument.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvale {

// characters[glyph] is the character the glyph shows, 0 for a glyph the document does not show.
// The Type 0 font goes at the object number given; the others get new numbers. Throws
// std::runtime_error when the font cannot be subset.
void writeEmbeddedFont(PdfDocument& document, std::int32_t fontObject, const FontFace& face,
                       const std::vector<char32_t>& characters);

// The ToUnicode map's text for those glyphs.
std::string toUnicodeMap(const std::vector<char32_t>& characters);

} // namespace quorvale

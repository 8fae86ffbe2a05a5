// Lays a text file out as pages of rows: page geometry and capacity, wrapping, page breaks, footers.
#pragma once

#include "documentfonts.h"
#include "linereader.h"
#include "pagesetup.h"
#include "pdfdocument.h"
#include "readingoptions.h"
#include "readingstable.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvale {

// Where a piece of maxchars characters (at least 2) is cut: after the last break character in
// its second half, else at its end, one earlier when that would split an escape pair.
std::size_t cutLength(std::string_view piece);

// The page number at the foot of the current page, at the geometry's footer place.
void writeFooter(PdfDocument& document, const PageGeometry& geometry);

// Writes every line the reader gives, as the options say, as rows of pages in the geometry, from the
// first page's start to the last one's end; the fonts show the reader's WideMarker characters; the
// table, when given, in place of its lines (after the text when the text ends before them). Returns
// what the reading had to replace.
ReadingSummary writetext(PdfDocument& document, const PageGeometry& geometry, LineReader& reader, DocumentFonts& fonts,
                         const ReadingOptions& options = {}, const ReadingsTable* table = nullptr);

} // namespace quorvale

// Lays a text file out as pages of rows: page geometry and capacity, wrapping, page breaks, footers.
#pragma once

#include "pdfdocument.h"
#include "pdfwriterstate.h"
#include "readingoptions.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvale {

// Resets the state for a new conversion and derives the page geometry and capacities. Throws
// std::invalid_argument with a message for the user when the values leave no room for text or the
// font name cannot stand in a PDF.
void initpdf(PdfWriterState& state, const std::string& FontName, std::int16_t FontSize, std::int16_t Rotation,
             float pwidth, float pheight);

// Where a piece of maxchars characters (at least 2) is cut: after the last break character in
// its second half, else at its end, one earlier when that would split an escape pair.
std::size_t cutLength(std::string_view piece);

// Writes every line of state.infile, read as the options say, as rows of pages, from the first page's
// start to the last one's end. Returns what the reading had to replace.
ReadingSummary writetext(PdfDocument& document, PdfWriterState& state, const ReadingOptions& options = {});

} // namespace quorvale

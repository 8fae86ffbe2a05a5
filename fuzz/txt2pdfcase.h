// One fuzzed conversion: bytes decoded into text, parameters and information values, converted
// through ConvertToPDF and the result checked against the invariants every PDF of ours keeps.
#pragma once

#include "documentinformation.h"
#include "pagesetup.h"
#include "readingoptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

struct Txt2PdfCase {
    std::string text;
    DocumentInformation information;
    PageSetup page;
    ReadingOptions reading;
};

// The first bytes choose the parameters (now and then outside the accepted ranges), the reading
// and the five information values; the rest, repeated a chosen number of times, is the text.
Txt2PdfCase decodeTxt2PdfCase(std::string_view data);

// Converts the case with input and output files in folder and checks the outcome: a complete
// file whose cross-reference entries, stream lengths and strings hold, or a reported failure
// that leaves no partial file. Returns what is broken, or an empty text; pdf, when given,
// receives the file's bytes.
std::string convertAndCheck(const Txt2PdfCase& fuzzCase, const std::string& folder, std::string* pdf = nullptr);

// The invariants alone, for the bytes of a finished PDF: the cross-reference entries, the file
// order of the objects, the trailer, the information dictionary, every page's stream, length,
// strings and footer, and the pages tree. pageRows, when given, receives the rows of each page.
std::string checkPdf(std::string_view pdf, std::vector<std::vector<std::string>>* pageRows = nullptr);

} // namespace quorvale

// How a conversion reads its text: encoding, line ends, TAB stops and blank trimming.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvale {

// The defaults are the output window's reading of its data sheet.
struct ReadingOptions {
    enum class Encoding { Auto, Utf8, Windows1252, Windows1252OrMarkedUtf8 };
    enum class LineEnds { Any, Cr };
    enum class Trim { Both, Trailing };

    // Auto is UTF-8 when the whole input is valid UTF-8, Windows-1252 otherwise. Windows1252OrMarkedUtf8
    // is UTF-8 when the text opens with UTF-8's byte-order mark (as a data sheet that Windows-1252
    // cannot hold does), Windows-1252 otherwise.
    Encoding encoding = Encoding::Windows1252OrMarkedUtf8;
    // Any: CR LF, CR and LF each end a line. Cr: CR or CR LF does, and a lone LF is a character.
    LineEnds lineEnds = LineEnds::Cr;
    // A TAB becomes the blanks up to the next multiple of this many columns; 0 keeps it.
    std::int32_t tabSize = 8;
    // Wider stops only make blank pages out of a few TABs.
    static constexpr std::int32_t MaxTabSize = 64;
    Trim trim = Trim::Both;
    // "-" names standard input as the text and standard output as the PDF.
    bool standardStreams = false;
};

// Characters of a UTF-8 input that no installed font shows, and invalid sequences, each written as
// "?"; and what the reader should know about the fonts that show the others.
struct ReadingSummary {
    std::int64_t replaced = 0;
    std::int64_t firstLine = 0;   // from 1
    std::int64_t firstColumn = 0; // from 1, in characters of the line as read
    // Font files that could not be read or subset, each with its reason.
    std::vector<std::string> fontProblems;
    // The right-to-left scripts met, which are shown left to right.
    std::vector<std::string> rightToLeftScripts;
};

} // namespace quorvale

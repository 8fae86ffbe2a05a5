#include "pagelayout.h"

#include "linereader.h"
#include "pdftext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace quorvale {

namespace {

// Largest page side in points that readers accept (200 inches).
constexpr double MaxPageSide = 14400;

// Characters after which a wrapped row may end.
constexpr std::string_view BreakCharacters = "*&^%$#,. ;<=>[])}!\"";

constexpr std::array<bool, 256> breakTable()
{
    std::array<bool, 256> table{};
    for (const char c : BreakCharacters)
        table[static_cast<unsigned char>(c)] = true;
    return table;
}
constexpr std::array<bool, 256> IsBreak = breakTable();

// Average character width per point of font size, in tenths: an estimate, no font metrics.
std::int64_t fontFactorTenths(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (name == "courier")
        return 15;
    if (name == "arial")
        return 20;
    return 22;
}

std::int32_t pagePoints(float inches)
{
    const double points = static_cast<double>(inches) * 72; // exact: a float times 72 fits a double
    if (!(points > 0) || points > MaxPageSide)
        throw std::invalid_argument("The page width and height must be greater than 0 and at most 200 inches.");
    return static_cast<std::int32_t>(roundHalfEven(points));
}

// The font name is written as a PDF name token; blanks, delimiters or control bytes would break the file.
void checkFontName(const std::string& name)
{
    const bool valid = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return c > ' ' && c < '\x7F' && std::string_view("()<>[]{}/%#").find(c) == std::string_view::npos;
    });
    if (!valid)
        throw std::invalid_argument("The font name '" + name + "' is not a valid PDF font name.");
}

std::string_view stripBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

void writeFooter(PdfDocument& document, const PdfWriterState& state)
{
    document.writeline("1 0 0 1 " + formatDouble(state.footerx) + " " + formatInteger(state.footery) + " Tm");
    document.writeline("(" + formatInteger(state.pagecount) + ") Tj");
    document.writeline("/F1 " + formatFixed(state.fontsize) + " Tf");
}

} // namespace

void initpdf(PdfWriterState& state, const std::string& FontName, std::int16_t FontSize, std::int16_t Rotation,
             float pwidth, float pheight)
{
    if (FontSize < 1)
        throw std::invalid_argument("The font size must be at least 1 point.");
    checkFontName(FontName);
    state = PdfWriterState{};
    state.pageheight = pagePoints(pheight);
    state.pagewidth = pagePoints(pwidth);
    state.fontname = FontName;
    state.fontsize = FontSize * FixedScale;
    state.leading = FontSize * FixedScale * 12 / 10;
    state.rotation = Rotation;
    state.maxlines = static_cast<std::int32_t>(
        divideRoundHalfEven((state.pageheight - 72) * std::int64_t{FixedScale}, state.leading));
    state.maxchars = static_cast<std::int32_t>(
        divideRoundHalfEven(state.pagewidth * fontFactorTenths(FontName), std::int64_t{FontSize} * 10));
    state.footerx = state.pagewidth / 2.0;
    state.footery = 25;
    if (state.maxlines < 1 || state.maxchars < 2)
        throw std::invalid_argument("The page is too small for text of this size: it would hold " +
                                    formatInteger(state.maxlines) + " rows of " + formatInteger(state.maxchars) +
                                    " characters.");
}

std::size_t cutLength(std::string_view piece)
{
    const std::size_t length = piece.size();
    for (std::size_t i = length; i >= length / 2 && i > 0; --i) {
        if (IsBreak[static_cast<unsigned char>(piece[i - 1])])
            return i;
    }
    std::size_t backslashes = 0;
    while (backslashes < length && piece[length - 1 - backslashes] == '\\')
        ++backslashes;
    return backslashes % 2 == 0 ? length : length - 1;
}

void writetext(PdfDocument& document, PdfWriterState& state)
{
    LineReader reader(state.infile);
    std::int64_t streamstart = document.startpage();
    const auto pageBreak = [&] {
        writeFooter(document, state);
        document.endpage(streamstart);
        streamstart = document.startpage();
    };
    const auto maxchars = static_cast<std::size_t>(state.maxchars);

    state.linecount = -1;
    std::string_view line;
    std::string escaped;
    while (reader.next(line)) {
        ++state.linecount;
        const bool holdsFormFeed = line.find('\f') != std::string_view::npos;
        if (state.linecount >= state.maxlines || holdsFormFeed)
            pageBreak();
        // Escaping adds no blanks, so stripping first gives the same row; most rows fit and are
        // escaped straight into the output.
        const std::string_view stripped = stripBlanks(line);
        if (document.writeRowIfItFits(stripped, maxchars))
            continue;
        escaped.clear();
        appendEscaped(escaped, stripped);
        std::string_view rest = escaped;

        // A form feed still ahead breaks the page after every piece until its own piece is written.
        const auto lastFormFeed = holdsFormFeed ? escaped.rfind('\f') : std::string::npos;
        const auto formFeedAhead = [&] {
            return lastFormFeed != std::string::npos &&
                   static_cast<std::size_t>(rest.data() - escaped.data()) <= lastFormFeed;
        };
        while (rest.size() > maxchars) {
            const std::string_view piece = rest.substr(0, cutLength(rest.substr(0, maxchars)));
            rest.remove_prefix(piece.size());
            document.writeRow(piece);
            ++state.linecount;
            if (state.linecount >= state.maxlines || formFeedAhead())
                pageBreak();
        }
        ++state.linecount;
        document.writeRow(rest);
    }
    writeFooter(document, state);
    document.endpage(streamstart);
}

} // namespace quorvale

#include "pagelayout.h"

#include "linereader.h"
#include "pdftext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace quorvale {

namespace {

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

// A line's text without the blanks the reading strips; the text is known to hold no TAB to expand.
std::string_view stripBlanks(std::string_view text, ReadingOptions::Trim trim)
{
    if (trim == ReadingOptions::Trim::Both)
        text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    text.remove_suffix(text.size() - (text.find_last_not_of(' ') + 1));
    return text;
}

} // namespace

void writeFooter(PdfDocument& document, const PageGeometry& geometry)
{
    document.writeline("1 0 0 1 " + formatDouble(geometry.footerx) + " " + formatInteger(geometry.footery) + " Tm");
    // Appended, not "(" + number: GCC 12 warns falsely (-Wrestrict) on that form in release builds.
    std::string pageNumber = "(";
    document.writeline(pageNumber.append(formatInteger(document.pagecount())).append(") Tj"));
    document.writeline("/F1 " + formatFixed(geometry.fontsize) + " Tf");
}

namespace {

// Lays lines out as rows, in pieces when they are long. A line runs through TAB expansion, the
// form-feed test, escaping, blank trimming and wrapping; only the trailing blanks not yet known to
// be trailing and the escaped text not yet written as a row are held, so memory stays small
// whatever the length of a line.
class Layout {
public:
    Layout(PdfDocument& document, const PageGeometry& geometry, DocumentFonts& fonts, const ReadingOptions& options)
        : m_document(document), m_geometry(geometry), m_fonts(fonts),
          m_maxchars(static_cast<std::size_t>(geometry.maxchars)), m_widest(widest(geometry.widths)),
          m_fontSize(formatFixed(geometry.fontsize)), m_tabSize(options.tabSize), m_trim(options.trim),
          m_streamstart(document.startpage())
    {
    }

    // A line read in one piece: most of them fit a row and are escaped straight into the output.
    void wholeLine(std::string_view line, std::int64_t formFeeds, bool holdsTab)
    {
        startLine(formFeeds);
        const std::string_view stripped = stripBlanks(line, m_trim);
        // A line longer than a row is cut into rows however wide its characters.
        if ((holdsTab && m_tabSize > 0) || stripped.size() > m_maxchars || holdsWide(stripped) ||
            !fitsAcross(stripped) || !m_document.writeRowIfItFits(stripped, m_maxchars)) {
            feed(line);
            endLine();
        }
    }

    void startLine(std::int64_t formFeeds)
    {
        ++m_linecount;
        if (m_linecount >= m_geometry.maxlines || formFeeds > 0)
            pageBreak();
        m_formFeedsAhead = formFeeds;
        m_column = 0;
        m_pendingBlanks = 0;
        m_leading = m_trim == ReadingOptions::Trim::Both;
        m_wrapped = false;
        m_rest.clear();
    }

    void feed(std::string_view text)
    {
        while (m_tabSize > 0) {
            const std::size_t tab = text.find('\t');
            if (tab == std::string_view::npos)
                break;
            feedRun(text.substr(0, tab));
            addBlanks(m_tabSize - m_column % m_tabSize);
            text.remove_prefix(tab + 1);
        }
        feedRun(text);
    }

    // Writes what is left of the line; its trailing blanks are dropped.
    void endLine()
    {
        wrap(/*lineEnded*/ true);
        if (m_wrapped)
            ++m_linecount;
        writeRow(m_rest);
    }

    // Each row of the table takes a line's place; a page it runs onto begins with its heading again.
    void table(const ReadingsTable& table)
    {
        const TableColumns columns(table, m_geometry);
        const std::string heading = columns.row(table.heading);
        startLine(0);
        m_document.writeline(heading);
        for (const ReadingsTableRow& row : table.rows) {
            const std::int32_t page = m_document.pagecount();
            startLine(0);
            if (m_document.pagecount() != page && m_geometry.maxlines > 1) {
                m_document.writeline(heading);
                startLine(0);
            }
            m_document.writeline(columns.row(row));
        }
    }

    void finish()
    {
        writeFooter(m_document, m_geometry);
        m_document.endpage(m_streamstart);
    }

private:
    void pageBreak()
    {
        finish();
        m_streamstart = m_document.startpage();
        m_linecount = 0;
    }

    // Characters without a TAB.
    void feedRun(std::string_view run)
    {
        m_column += static_cast<std::int64_t>(run.size());
        if (m_leading) {
            run.remove_prefix(std::min(run.find_first_not_of(' '), run.size()));
            if (run.empty())
                return;
            m_leading = false;
        }
        const std::size_t kept = run.find_last_not_of(' ') + 1;
        if (kept > 0) {
            writePendingBlanks();
            appendEscaped(m_rest, run.substr(0, kept));
            wrap();
        }
        m_pendingBlanks += static_cast<std::int64_t>(run.size() - kept);
    }

    void addBlanks(std::int64_t count)
    {
        m_column += count;
        if (!m_leading)
            m_pendingBlanks += count;
    }

    // Blanks followed by more text belong to the line after all; a few thousand at a time.
    void writePendingBlanks()
    {
        constexpr std::int64_t Step = 4096;
        while (m_pendingBlanks > 0) {
            const std::int64_t step = std::min(m_pendingBlanks, Step);
            m_rest.append(static_cast<std::size_t>(step), ' ');
            m_pendingBlanks -= step;
            wrap();
        }
    }

    static std::int64_t widest(const CharacterWidths* widths)
    {
        return widths == nullptr ? 0 : *std::max_element(widths->begin(), widths->end());
    }

    // Whether the text holds characters that embedded fonts show: only while some are pending.
    bool holdsWide(std::string_view text) const
    {
        return !m_fonts.nonePending() && text.find(WideMarker) != std::string_view::npos;
    }

    void writeRow(std::string_view escaped)
    {
        if (holdsWide(escaped))
            m_fonts.writeRow(m_document, escaped, m_fontSize);
        else
            m_document.writeRow(escaped);
    }

    // A character's width; a WideMarker is the next pending glyph, counted by marker.
    std::int64_t widthOf(char c, std::size_t& marker) const
    {
        if (c == WideMarker && !m_fonts.nonePending())
            return m_fonts.pending(marker++).width;
        return (*m_geometry.widths)[static_cast<unsigned char>(c)];
    }

    // Whether length characters cannot reach the page's edge even in the font's widest character,
    // so that their widths need no sum.
    bool surelyFits(std::size_t length) const
    {
        return m_fonts.nonePending() && static_cast<std::int64_t>(length) * m_widest <= m_geometry.maxRowWidth;
    }

    // How many of the text's first length bytes stay on the page from the left margin; in escaped
    // text an escape pair shows its second character. Eight standard-font bytes without a backslash
    // are summed at a time, so that the sum of a full row costs a fraction of one a character.
    std::size_t fittingLength(std::string_view text, std::size_t length, bool escaped) const
    {
        constexpr std::uint64_t Backslashes = 0x5C5C5C5C5C5C5C5CULL;
        const CharacterWidths& widths = *m_geometry.widths;
        const bool inBlocks = m_fonts.nonePending();
        std::int64_t width = 0;
        std::size_t marker = 0;
        std::size_t at = 0;
        while (at < length) {
            if (inBlocks && length - at >= 8) {
                const auto* bytes = reinterpret_cast<const unsigned char*>(text.data() + at);
                std::uint64_t word = 0;
                std::memcpy(&word, bytes, sizeof word);
                const std::uint64_t x = word ^ Backslashes; // a zero byte where a backslash was
                const std::int64_t block = widths[bytes[0]] + widths[bytes[1]] + widths[bytes[2]] + widths[bytes[3]] +
                                           widths[bytes[4]] + widths[bytes[5]] + widths[bytes[6]] + widths[bytes[7]];
                if ((!escaped || ((x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL) == 0) &&
                    width + block <= m_geometry.maxRowWidth) {
                    width += block;
                    at += 8;
                    continue;
                }
            }
            const std::size_t shown = escaped && text[at] == '\\' ? 2 : 1;
            width += widthOf(text[at + shown - 1], marker);
            if (width > m_geometry.maxRowWidth)
                break;
            at += shown;
        }
        return at;
    }

    // Whether the unescaped text, shown from the left margin, stays on the page.
    bool fitsAcross(std::string_view text) const
    {
        return m_geometry.widths == nullptr || surelyFits(text.size()) ||
               fittingLength(text, text.size(), /*escaped*/ false) == text.size();
    }

    // The length of the next row cut off the front of the escaped text: where the character count
    // cuts it, or earlier where it would pass the page's right edge, cut again by the same rule.
    std::size_t rowLength(std::string_view rest) const
    {
        const std::size_t length = rest.size() > m_maxchars ? cutLength(rest.substr(0, m_maxchars)) : rest.size();
        if (m_geometry.widths == nullptr || surelyFits(length))
            return length;
        const std::size_t fitting = fittingLength(rest, length, /*escaped*/ true);
        if (fitting == length)
            return length;
        if (fitting == 0) // a row holds one character however wide
            return rest[0] == '\\' ? 2 : 1;
        return cutLength(rest.substr(0, fitting));
    }

    // Cuts rows off the front while more than a row's worth of text is known; at the line's end,
    // also while what is left passes the right edge.
    void wrap(bool lineEnded = false)
    {
        std::string_view rest = m_rest;
        while (!rest.empty() && (rest.size() > m_maxchars || lineEnded)) {
            const std::size_t length = rowLength(rest);
            if (rest.size() <= m_maxchars && length == rest.size())
                break; // what is left of the ended line fits one row
            const std::string_view piece = rest.substr(0, length);
            rest.remove_prefix(piece.size());
            writeRow(piece);
            m_wrapped = true;
            ++m_linecount;
            if (m_formFeedsAhead > 0)
                m_formFeedsAhead -= std::count(piece.begin(), piece.end(), '\f');
            // A form feed still ahead breaks the page after every piece until its own piece is written.
            if (m_linecount >= m_geometry.maxlines || m_formFeedsAhead > 0)
                pageBreak();
        }
        m_rest.erase(0, m_rest.size() - rest.size());
    }

    PdfDocument& m_document;
    const PageGeometry& m_geometry;
    DocumentFonts& m_fonts;
    const std::size_t m_maxchars;
    const std::int64_t m_widest; // the font's widest character
    const std::string m_fontSize;
    const std::int64_t m_tabSize;
    const ReadingOptions::Trim m_trim;
    std::int64_t m_streamstart;
    std::int32_t m_linecount = -1;

    // The line being laid out.
    std::int64_t m_formFeedsAhead = 0; // in the part not yet written as a row
    std::int64_t m_column = 0;         // after TAB expansion, from the line's first character
    std::int64_t m_pendingBlanks = 0;
    bool m_leading = false; // still inside the leading blanks that are stripped
    bool m_wrapped = false;
    std::string m_rest; // escaped, not yet written
};

} // namespace

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

ReadingSummary writetext(PdfDocument& document, const PageGeometry& geometry, LineReader& reader, DocumentFonts& fonts,
                         const ReadingOptions& options, const ReadingsTable* table)
{
    Layout layout(document, geometry, fonts, options);
    LineReader::Piece piece;
    std::int64_t line = 0;
    bool tableDone = table == nullptr;
    while (reader.next(piece)) {
        if (piece.first)
            ++line;
        if (!tableDone && line >= table->firstLine) {
            if (piece.first && line == table->firstLine)
                layout.table(*table);
            tableDone = line >= table->firstLine + table->lines;
            if (!tableDone) {
                fonts.dropPending(piece.text); // a line the table stands in place of
                continue;
            }
        }
        if (piece.first && piece.last) {
            layout.wholeLine(piece.text, piece.formFeeds, piece.holdsTab);
            continue;
        }
        if (piece.first)
            layout.startLine(piece.formFeeds);
        layout.feed(piece.text);
        if (piece.last)
            layout.endLine();
    }
    if (!tableDone && line < table->firstLine)
        layout.table(*table);
    layout.finish();
    return reader.summary();
}

} // namespace quorvale

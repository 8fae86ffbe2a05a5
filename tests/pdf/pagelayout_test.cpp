// Page layout: capacities, numbers, escaping, the line reader, wrapping and page breaks.
#include "bytesink.h"
#include "linereader.h"
#include "pagelayout.h"
#include "pdfdocument.h"
#include "pdftestsupport.h"
#include "pdftext.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <locale>
#include <random>
#include <stdexcept>

namespace quorvale {
namespace {

using test::sameBytes;

TEST(PageCapacity, MatchesTheTableForEveryOfferedChoice)
{
    for (const test::Capacity& row : test::capacityTable()) {
        SCOPED_TRACE(row.size);
        PageGeometry geometry = initpdf({"Courier", row.size, 0, 8.5F, 11});
        EXPECT_EQ(formatFixed(geometry.leading), row.leading);
        EXPECT_EQ(geometry.maxlines, row.lines792);
        EXPECT_EQ(geometry.maxchars, row.courier612);
        geometry = initpdf({"Arial", row.size, 0, 8.5F, 14});
        EXPECT_EQ(geometry.maxlines, row.lines1008);
        EXPECT_EQ(geometry.maxchars, row.arial612);
        geometry = initpdf({"Times-Roman", row.size, 0, 8.5F, 11});
        EXPECT_EQ(geometry.maxchars, row.other612);
        geometry = initpdf({"COURIER", row.size, 0, 14, 11});
        EXPECT_EQ(geometry.maxchars, row.courier1008);
        geometry = initpdf({"arial", row.size, 0, 14, 11});
        EXPECT_EQ(geometry.maxchars, row.arial1008);
        geometry = initpdf({"Times-Bold", row.size, 0, 14, 11});
        EXPECT_EQ(geometry.maxchars, row.other1008);
        geometry = initpdf({"courier-bold", row.size, 0, 14, 11}); // a family's factor holds for all its faces
        EXPECT_EQ(geometry.maxchars, row.courier1008);
        geometry = initpdf({"Helvetica-Oblique", row.size, 0, 14, 11});
        EXPECT_EQ(geometry.maxchars, row.arial1008);
        geometry = initpdf({"CourierNew", row.size, 0, 14, 11});
        EXPECT_EQ(geometry.maxchars, row.other1008);
        EXPECT_EQ(geometry.pagewidth, 1008);
        EXPECT_EQ(geometry.pageheight, 792);
        EXPECT_EQ(geometry.footerx, 504);
    }
}

TEST(PageCapacity, HalvesRoundToEven)
{
    PageGeometry geometry = initpdf({"Times-Roman", 12, 0, 11.25F, 11}); // 810 points: 810 x 2.2 / 12 = 148.5
    EXPECT_EQ(geometry.pagewidth, 810);
    EXPECT_EQ(geometry.maxchars, 148);
    geometry = initpdf({"Courier", 12, 0, 1.0625F, 11}); // 76.5 points: 76 x 1.5 / 12 = 9.5
    EXPECT_EQ(geometry.pagewidth, 76);
    EXPECT_EQ(geometry.maxchars, 10);
    geometry = initpdf({"Courier", 10, 0, 0.1875F, 11}); // 13.5 points
    EXPECT_EQ(geometry.pagewidth, 14);
    EXPECT_EQ(divideRoundHalfEven(195, 2), 98);
    EXPECT_EQ(divideRoundHalfEven(153, 2), 76);
    EXPECT_EQ(divideRoundHalfEven(-3, 2), -2);
    EXPECT_EQ(roundHalfEven(97.5), 98);
    EXPECT_EQ(roundHalfEven(76.5), 76);
}

TEST(PageCapacity, RefusesValuesThatLeaveNoRoomForText)
{
    EXPECT_THROW(initpdf({"Courier", 0, 0, 8.5F, 11}), std::invalid_argument);
    EXPECT_THROW(initpdf({"Courier", -4, 0, 8.5F, 11}), std::invalid_argument);
    EXPECT_THROW(initpdf({"Courier", 10, 0, 0, 11}), std::invalid_argument);
    EXPECT_THROW(initpdf({"Courier", 10, 0, 8.5F, -1}), std::invalid_argument);
    EXPECT_THROW(initpdf({"Courier", 10, 0, NAN, 11}), std::invalid_argument);
    EXPECT_THROW(initpdf({"Courier", 10, 0, INFINITY, 11}), std::invalid_argument);
    EXPECT_THROW(initpdf({"Courier", 10, 0, 8.5F, 1}), std::invalid_argument);  // no row fits
    EXPECT_THROW(initpdf({"Courier", 10, 0, 0.1F, 11}), std::invalid_argument); // 1.05 characters a row
    EXPECT_NO_THROW(initpdf({"Courier", 10, 0, 0.2F, 1.2F}));
    for (const char* font : {"", "Times Roman", "F/1", "F(1", "F\r", "F\x80"})
        EXPECT_THROW(initpdf({font, 10, 0, 8.5F, 11}), std::invalid_argument) << font; // 2.1 characters, 1 row
}

TEST(PdfText, NumbersInShortestDecimalForm)
{
    EXPECT_EQ(formatFixed(120000), "12");
    EXPECT_EQ(formatFixed(144000), "14.4");
    EXPECT_EQ(formatFixed(96000), "9.6");
    EXPECT_EQ(formatFixed(12), "0.0012");
    EXPECT_EQ(formatDouble(306), "306");
    EXPECT_EQ(formatDouble(306.5), "306.5");
    EXPECT_EQ(formatOffset(15), "0000000015");
    EXPECT_EQ(formatOffset(9999999999), "9999999999");
}

// A copy of Text with every TextToReplace replaced by NewText; each search resumes after the
// inserted text, so NewText may contain TextToReplace: the three replacements that escaping does
// at once.
std::string ReplaceText(const std::string& Text, const std::string& TextToReplace, const std::string& NewText)
{
    std::string copy = Text;
    auto found = copy.find(TextToReplace);
    while (found != std::string::npos) {
        copy.replace(found, TextToReplace.size(), NewText);
        found = copy.find(TextToReplace, found + NewText.size());
    }
    return copy;
}

TEST(PdfText, ReplaceTextResumesAfterTheInsertedText)
{
    EXPECT_EQ(ReplaceText("a(b(c", "(", "\\("), "a\\(b\\(c");
    EXPECT_EQ(ReplaceText("abc", "(", "\\("), "abc");
    EXPECT_EQ(ReplaceText("\\\\", "\\", "\\\\"), "\\\\\\\\");
    EXPECT_EQ(ReplaceText("aaa", "a", "b"), "bbb");
}

TEST(PdfText, EscapingInOnePassEqualsTheThreeReplacements)
{
    std::mt19937 random(7);
    // Short texts dense with marked bytes, and longer ones where they are rare between plain runs.
    const std::string alphabet = "ab(\\) ";
    const std::string sparse = "abcdefghijklmnopqrstuvwxyz0123456789(\\)";
    for (int round = 0; round < 1000; ++round) {
        const bool dense = round % 2 == 0;
        std::string text;
        for (std::size_t i = 0, length = dense ? 12 : random() % 80; i < length; ++i)
            text += dense ? alphabet[random() % alphabet.size()] : sparse[random() % sparse.size()];
        std::string escaped;
        appendEscaped(escaped, text);
        EXPECT_EQ(escaped, ReplaceText(ReplaceText(ReplaceText(text, "\\", "\\\\"), "(", "\\("), ")", "\\)"));
    }
}

TEST(PdfText, PdfDocEncodingKeepsEveryWindows1252Character)
{
    // Windows-1252 0x80..0x9F, then the two bytes whose PDFDocEncoding code differs.
    const std::string from = "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
                             "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F\xA0\xAD";
    const std::string to = "\xA0?\x91\x86\x8C\x83\x81\x82\x1A\x8B\x97\x88\x96?\x99?"
                           "?\x8F\x90\x8D\x8E\x80\x85\x84\x1F\x92\x9D\x89\x9C?\x9E\x98 -";
    EXPECT_EQ(toPdfDocEncoding(from), to);
    EXPECT_EQ(toPdfDocEncoding("Az09 ~\xA1\xE9\xFF"), "Az09 ~\xA1\xE9\xFF");
}

TEST(PageLayout, CutsAfterTheLastBreakCharacterInTheSecondHalf)
{
    EXPECT_EQ(cutLength("aaaa b"), 5U);
    EXPECT_EQ(cutLength("aaa<bb"), 4U);
    EXPECT_EQ(cutLength("a[bbbb"), 6U); // the break before the second half does not count
    EXPECT_EQ(cutLength("ab)cd("), 3U);
    EXPECT_EQ(cutLength("abcdef"), 6U);
    // A hard cut keeps an escape pair together.
    EXPECT_EQ(cutLength("aaaaa\\"), 5U);
    EXPECT_EQ(cutLength("aaaa\\\\"), 6U);
    EXPECT_EQ(cutLength("aaa\\\\\\"), 5U);
    EXPECT_EQ(cutLength("a\\"), 1U);
}

// The lines as the reader gives them, each joined from its pieces; summary receives what it replaced.
std::vector<std::string> readLines(const std::string& bytes, const ReadingOptions& options = {},
                                   ReadingSummary* summary = nullptr)
{
    const test::TempDir folder;
    test::writeFile(folder.path() + "/in.txt", bytes);
    LineReader reader(folder.path() + "/in.txt", options);
    std::vector<std::string> lines;
    LineReader::Piece piece;
    while (reader.next(piece)) {
        if (piece.first)
            lines.emplace_back();
        EXPECT_FALSE(lines.empty());
        lines.back().append(piece.text);
    }
    if (summary)
        *summary = reader.summary();
    return lines;
}

TEST(LineReader, SplitsAtCrAndCrLfOnly)
{
    using Lines = std::vector<std::string>;
    EXPECT_EQ(readLines("a\r\nb\rc\r\n"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(readLines("a\r\n\r\nlast"), (Lines{"a", "", "last"}));
    EXPECT_EQ(readLines("x\ny\nz\n"), (Lines{"x\ny\nz\n"}));
    EXPECT_EQ(readLines("\r\r\n"), (Lines{"", ""}));
    EXPECT_EQ(readLines(""), Lines{});
    // A CR LF split by the read buffer's edge is still one line end.
    const std::string first(64 * 1024 - 1, 'q');
    EXPECT_EQ(readLines(first + "\r\nnext\r\n"), (Lines{first, "next"}));
    const std::string whole(200 * 1024, 'w');
    EXPECT_EQ(readLines(whole), Lines{whole});
}

TEST(LineReader, LinesAcrossManyBufferEdgesComeOutWhole)
{
    std::mt19937 random(7);
    std::string bytes;
    std::vector<std::string> expected;
    while (bytes.size() < 300 * 1024) {
        std::string line(random() % 700, static_cast<char>('a' + random() % 26));
        if (!line.empty() && random() % 5 == 0)
            line += '\n'; // a lone LF stays in the line (never first: it would join a CR before it)
        expected.push_back(line);
        bytes += line + (random() % 2 ? "\r" : "\r\n");
    }
    EXPECT_EQ(readLines(bytes), expected);
}

ReadingOptions reading(ReadingOptions::Encoding encoding,
                       ReadingOptions::LineEnds lineEnds = ReadingOptions::LineEnds::Any)
{
    ReadingOptions options;
    options.encoding = encoding;
    options.lineEnds = lineEnds;
    return options;
}

TEST(LineReader, AnyLineEndOrCrAlone)
{
    using Lines = std::vector<std::string>;
    const ReadingOptions any = reading(ReadingOptions::Encoding::Windows1252);
    EXPECT_EQ(readLines("a\nb\rc\r\nd\n\re\n", any), (Lines{"a", "b", "c", "d", "", "e"}));
    EXPECT_EQ(readLines("a\nb\rc\r\nd\n\re\n"), (Lines{"a\nb", "c", "d\n", "e\n"}));
    EXPECT_EQ(readLines("\n\n", any), (Lines{"", ""}));
    const std::string first(64 * 1024 - 1, 'q');
    EXPECT_EQ(readLines(first + "\r\nnext", any), (Lines{first, "next"}));
    EXPECT_EQ(readLines(first + "\n\rnext", any), (Lines{first, "", "next"}));
}

TEST(LineReader, Utf8BecomesWindows1252AndTheRestQuestionMarks)
{
    using Lines = std::vector<std::string>;
    const ReadingOptions utf8 = reading(ReadingOptions::Encoding::Utf8);
    const ReadingOptions automatic = reading(ReadingOptions::Encoding::Auto);
    const std::string text = "\xC3\x98 \xC2\xB1"
                             "0.02 \xE2\x82\xAC\n"; // Ø ±0.02 €
    const Lines decoded{"\xD8 \xB1"
                        "0.02 \x80"};
    ReadingSummary summary;
    for (const ReadingOptions& options : {utf8, automatic}) {
        EXPECT_EQ(readLines(text, options, &summary), decoded);
        EXPECT_EQ(readLines("\xEF\xBB\xBF" + text, options, &summary), decoded); // the byte-order mark goes
        EXPECT_EQ(summary.replaced, 0);
    }
    EXPECT_EQ(readLines("\xEF\xBB\xBFx", reading(ReadingOptions::Encoding::Windows1252)), Lines{"\xEF\xBB\xBFx"});

    // A character the code page lacks, then ill-formed parts: overlong, surrogate, cut short, past U+10FFFF.
    const std::string odd = "ok\nab\xE2\x86\x92"
                            "c \xC0\xAF \xED\xA0\x80 \xE2\x82 \xF4\x90\x80\x80.";
    EXPECT_EQ(readLines(odd, utf8, &summary), (Lines{"ok", "ab?c ?? ??? ? ????."}));
    EXPECT_EQ(summary.replaced, 11);
    EXPECT_EQ(summary.firstLine, 2);
    EXPECT_EQ(summary.firstColumn, 3);
    EXPECT_EQ(readLines(odd, automatic, &summary), (Lines{"ok", odd.substr(3)})); // not UTF-8: bytes as they are
    EXPECT_EQ(summary.replaced, 0);

    // Sequences cut by the read buffer's edge come out whole.
    std::string across(64 * 1024 - 1, 'a');
    across += "\xC3\xA9\xE2\x82\xAC";
    EXPECT_EQ(readLines(across, automatic), Lines{std::string(64 * 1024 - 1, 'a') + "\xE9\x80"});
}

// Lays the input out as a whole document with the given capacities; returns the rows of each page.
// Lays the input out as a whole document in the geometry; returns the rows of each page.
std::vector<std::vector<std::string>> layOut(const std::string& input, const PageGeometry& geometry,
                                             std::string* pdf = nullptr, const ReadingOptions& options = {})
{
    const test::TempDir folder;
    const std::string infile = folder.path() + "/in.txt";
    test::writeFile(infile, input);
    MemorySink sink;
    const DocumentInformation information;
    PdfDocument document(sink, geometry, information);
    document.startpdf();
    document.writeinfo("20030312101500");
    LineReader reader(infile, options);
    DocumentFonts fonts(geometry.fontname);
    writetext(document, geometry, reader, fonts, options);
    document.endpdf();
    test::PdfPages pages;
    EXPECT_TRUE(test::checkStructure(sink.bytes(), &pages));
    if (pdf)
        *pdf = sink.bytes();
    return pages.rows;
}

// The same with the given capacities and the character count alone deciding the rows.
std::vector<std::vector<std::string>> layOut(const std::string& input, int maxchars, int maxlines,
                                             std::string* pdf = nullptr, const ReadingOptions& options = {})
{
    PageGeometry geometry = initpdf({"Courier", 12, 0, 8.5F, 11});
    geometry.maxchars = maxchars;
    geometry.maxlines = maxlines;
    geometry.widths = nullptr;
    return layOut(input, geometry, pdf, options);
}

using Pages = std::vector<std::vector<std::string>>;

TEST(PageLayout, MaxlinesRowsFillOnePageAndOneMoreStartsTheNext)
{
    EXPECT_EQ(layOut("1\r\n2\r\n3\r\n", 10, 3), (Pages{{"1", "2", "3"}}));
    EXPECT_EQ(layOut("1\r\n2\r\n3\r\n4\r\n", 10, 3), (Pages{{"1", "2", "3"}, {"4"}}));
}

TEST(PageLayout, FormFeedStartsANewPageAndStaysInItsRow)
{
    EXPECT_EQ(layOut("\fa\r\nb\r\n", 10, 3), (Pages{{}, {"\fa", "b"}}));
    // Wrapped: a form feed ahead breaks the page after every piece until its own piece.
    EXPECT_EQ(layOut("x\r\naaa bbb c\fd\r\n", 4, 50), (Pages{{"x"}, {"aaa "}, {"bbb "}, {"c\fd"}}));
}

TEST(PageLayout, RowsAreEscapedStrippedAndWrapped)
{
    std::string pdf;
    EXPECT_EQ(layOut("\r\n", 10, 5, &pdf), (Pages{{""}}));
    EXPECT_NE(pdf.find("14.4 TL\rT* (\r\n) Tj\r1 0 0 1 306 25 Tm\r(1) Tj\r/F1 12 Tf\rET\r"), std::string::npos);
    EXPECT_EQ(layOut("aaaa bbbb", 6, 50), (Pages{{"aaaa ", "bbbb"}}));
    EXPECT_EQ(layOut("abcdefg\r\n", 6, 50), (Pages{{"abcdef", "g"}}));
    const ReadingOptions tabsKept{ReadingOptions::Encoding::Windows1252, ReadingOptions::LineEnds::Cr, 0,
                                  ReadingOptions::Trim::Both};
    EXPECT_EQ(layOut("  a(b)\\c\t d  \r\n", 20, 50, nullptr, tabsKept), (Pages{{"a\\(b\\)\\\\c\t d"}}));
    EXPECT_EQ(layOut("  a(b)\\c\t d  \r\n", 20, 50), (Pages{{"a\\(b\\)\\\\c" + std::string(9, ' ') + "d"}}));
    EXPECT_EQ(layOut("aaaaa(", 6, 50), (Pages{{"aaaaa", "\\("}}));
    EXPECT_EQ(layOut("x\ny\nz", 4, 50), (Pages{{"x\ny\n", "z"}}));
}

TEST(PageLayout, AWrappedLineCountsOneRowMoreThanItFills)
{
    // Two rows plus one: with four rows a page, the next line still fits, the one after breaks.
    EXPECT_EQ(layOut("aaaa bbbb\r\nc\r\nd\r\n", 6, 4), (Pages{{"aaaa ", "bbbb", "c"}, {"d"}}));
}

TEST(PageLayout, TabsReachTheNextStopBeforeEscapingTrimmingAndWrapping)
{
    EXPECT_EQ(layOut("a\tb\r1234567\tx\r12345678\tx\r\f\tx\r(\tx\r", 40, 50),
              (Pages{{"a       b", "1234567 x", "12345678        x"}, {"\f       x", "\\(       x"}}));
    EXPECT_EQ(layOut("\t x\t \r", 40, 50), (Pages{{"x"}}));
    // The blanks a TAB leaves count toward the row's width like any others.
    EXPECT_EQ(layOut("abcdefg\tbc\rabcdefgh\tb\r", 10, 50), (Pages{{"abcdefg bc", "abcdefgh  ", "      b"}}));
    ReadingOptions other;
    other.tabSize = 3;
    EXPECT_EQ(layOut("a\tb\tc\r", 40, 50, nullptr, other), (Pages{{"a  b  c"}}));
}

TEST(PageLayout, TrailingTrimKeepsIndentation)
{
    ReadingOptions trailing;
    trailing.trim = ReadingOptions::Trim::Trailing;
    EXPECT_EQ(layOut("    code();  \r\tx\r   \r", 40, 50, nullptr, trailing),
              (Pages{{"    code\\(\\);", "        x", ""}}));
}

TEST(PageLayout, LinesLongerThanTheReadBufferLayOutAsIfWhole)
{
    // No break character: rows of exactly maxchars; a wrapped line counts one row more than it fills.
    Pages rows = layOut(std::string(150000, 'a') + "\r\nz", 1000, 51);
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0], std::vector<std::string>(51, std::string(1000, 'a')));
    EXPECT_EQ(rows[2].back(), "z");
    EXPECT_EQ(rows[1].size() + rows[2].size(), 100U);

    // A form feed far ahead breaks the page after every piece until its own.
    rows = layOut(std::string(150000, 'a') + "\f" + std::string(10, 'a'), 1000, 1000);
    ASSERT_EQ(rows.size(), 152U);
    EXPECT_TRUE(rows[0].empty());
    EXPECT_EQ(rows[150], std::vector<std::string>{std::string(1000, 'a')});
    EXPECT_EQ(rows[151], std::vector<std::string>{"\f" + std::string(10, 'a')});

    // Blanks: leading ones go, trailing ones go, those followed by text stay and wrap.
    ReadingOptions any;
    any.lineEnds = ReadingOptions::LineEnds::Any;
    rows = layOut(std::string(70000, ' ') + "b" + std::string(70000, ' ') + "(\t" + std::string(70000, ' ') + "\n",
                  30000, 50, nullptr, any);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"b" + std::string(29999, ' '), std::string(30000, ' '),
                                                 std::string(10001, ' ') + "\\("}));
}

// Where a row shown from the left margin ends, in points; an escape pair counts as the character it shows.
double rowEnd(const std::string& row, const PageGeometry& geometry)
{
    std::int64_t width = 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        if (row[i] == '\\')
            ++i;
        width += (*geometry.widths)[static_cast<unsigned char>(row[i])];
    }
    return TextLeft + static_cast<double>(width) * static_cast<double>(geometry.fontsize) / FixedScale / 1000;
}

std::string joined(const std::vector<std::string>& rows)
{
    std::string text;
    for (const std::string& row : rows)
        text += row;
    return text;
}

TEST(PageLayout, RowsOfAProportionalFontStopAtTheRightEdge)
{
    const std::string comment = "CUSTOMER REQUIRES 100% INSPECTION OF SEAM WM-4 UNTIL FURTHER NOTICE FROM QUALITY "
                                "MANAGER - SEE DEVIATION DR-2291";
    const PageGeometry times = initpdf({"Times-Roman", 10, 0, 8.5F, 11});
    const Pages pages = layOut(comment + "\r\n" + std::string(300, 'W') + "\r\n(" + std::string(200, ')') + "\r\n" +
                                   std::string(134, 'i') + "\r\n",
                               times);
    ASSERT_EQ(pages.size(), 1U);
    const std::vector<std::string>& rows = pages[0];
    // Cut after the last blank that fits, the break rule applied to the shorter piece.
    EXPECT_EQ(rows[0], comment.substr(0, comment.find("DEVIATION")));
    EXPECT_EQ(rows[1], "DEVIATION DR-2291");
    for (const std::string& row : rows) {
        EXPECT_LE(rowEnd(row, times), 612) << row;
        EXPECT_FALSE(row.ends_with("\\") && !row.ends_with("\\\\")) << row; // escape pairs stay whole
    }
    EXPECT_EQ(
        joined(rows), comment + std::string(300, 'W') + "\\(" + [] {
            std::string escaped;
            for (int i = 0; i < 200; ++i)
                escaped += "\\)";
            return escaped;
        }() + std::string(134, 'i'));
    // A row that fits by its characters and its width is one row, as before.
    EXPECT_EQ(rows.back(), std::string(134, 'i'));

    // Without a break character, every row but the last is as wide as the page allows, wherever its
    // escape pairs fall: the width is summed right past them.
    std::string mixed;
    for (int i = 0; i < 80; ++i)
        mixed += std::string(static_cast<std::size_t>(i % 13), i % 2 == 0 ? 'W' : 'i') + (i % 3 == 0 ? "(" : "\\");
    const std::vector<std::string> full = layOut(mixed + "\r\n", times)[0];
    ASSERT_GT(full.size(), 2U);
    for (std::size_t row = 0; row + 1 < full.size(); ++row) {
        EXPECT_LE(rowEnd(full[row], times), 612) << full[row];
        const std::string next = full[row + 1].substr(0, full[row + 1][0] == '\\' ? 2 : 1);
        EXPECT_GT(rowEnd(full[row] + next, times), 612) << full[row];
    }

    // A character wider than the room left still gets a row of its own.
    const PageGeometry narrow = initpdf({"Helvetica", 72, 0, 1.75F, 11});
    EXPECT_EQ(layOut("MM\r\n", narrow), (Pages{{"M", "M"}}));
}

TEST(PageLayout, CourierRowsAtTheOfferedSizesAreCutByTheirCountAsBefore)
{
    for (const test::Capacity& capacity : test::capacityTable()) {
        const PageGeometry courier = initpdf({"Courier", capacity.size, 0, 8.5F, 11});
        const std::string line(3 * static_cast<std::size_t>(capacity.courier612), 'x');
        const Pages pages = layOut(line, courier);
        ASSERT_EQ(pages.size(), 1U);
        EXPECT_EQ(pages[0],
                  std::vector<std::string>(3, std::string(static_cast<std::size_t>(capacity.courier612), 'x')));
    }
}

// Formats numbers with a comma, the way a German desktop would if anything asked the locale.
struct CommaDecimals final : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(PageLayout, NumbersIgnoreACommaDecimalLocale)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // only where installed; the numpunct above covers C++ streams
    PageGeometry geometry = initpdf({"Courier", 12, 0, 8.5138888F, 11}); // 613 points wide: footer at 306.5
    EXPECT_EQ(geometry.maxchars, 77);
    MemorySink sink;
    const DocumentInformation information;
    PdfDocument document(sink, geometry, information);
    const test::TempDir folder;
    test::writeFile(folder.path() + "/in.txt", std::string(5000, 'x'));
    document.startpdf();
    document.writeinfo("20030312101500");
    LineReader reader(folder.path() + "/in.txt");
    DocumentFonts fonts(geometry.fontname);
    writetext(document, geometry, reader, fonts);
    document.endpdf();
    std::setlocale(LC_ALL, "C");
    std::locale::global(previous);
    EXPECT_TRUE(test::checkStructure(sink.bytes()));
    EXPECT_NE(sink.bytes().find("\r14.4 TL\r"), std::string::npos);
    EXPECT_NE(sink.bytes().find("\r1 0 0 1 306.5 25 Tm\r"), std::string::npos);
    EXPECT_NE(sink.bytes().find("\r/MediaBox [ 0 0 613 792 ]\r"), std::string::npos);
}

} // namespace
} // namespace quorvale

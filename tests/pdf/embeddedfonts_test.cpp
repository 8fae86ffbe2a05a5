// Text beyond Windows-1252: what readers get back from the embedded font subsets, what has no font,
// and what the fonts' failures leave.
#include "fontface.h"
#include "pdfcheck.h"
#include "pdfjob.h"
#include "pdfwriter.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>

using namespace quorvale;
using quorvale::test::readFile;
using quorvale::test::runCommand;
using quorvale::test::writeFile;

namespace {

const std::string Lines = "Łódź, Dvořák: žluťoučký kůň\n"
                          "İstanbul'da ağır şoför\n"
                          "Ελληνικά: αβγδ ΣΩ\n"
                          "Кириллица: съешь же ещё\n"
                          "Bore 12 µm, Ø 25 ± 0.02\n";

class EmbeddedFonts : public ::testing::Test {
protected:
    // Converts the UTF-8 text with that title and author; returns what the conversion reported.
    ReadingSummary convert(const std::string& text, const std::string& title = "PDF Title",
                           const std::string& author = "Orvin Kellaway", const std::string& font = "Times-Roman")
    {
        writeFile(m_in, text);
        DocumentInformation information;
        information.title = title;
        information.author = author;
        PdfWriter writer([] { return std::string("20030312101500"); });
        const Result done =
            writer.ConvertToPDF(PdfJob(m_in, m_pdf, information, PageSetup{font},
                                       {ReadingOptions::Encoding::Utf8, ReadingOptions::LineEnds::Any}));
        EXPECT_TRUE(done) << done.reason;
        return writer.lastReading();
    }
    std::string output(const std::string& command)
    {
        std::string out;
        EXPECT_EQ(runCommand(command + " 2>&1", &out), 0) << out;
        return out;
    }

    test::TempDir m_dir;
    std::string m_in = m_dir.path() + "/in.txt";
    std::string m_pdf = m_dir.path() + "/out.pdf";
};

TEST_F(EmbeddedFonts, EveryLetterComesBackFromLinesTitleAndAuthor)
{
    const ReadingSummary summary = convert(Lines, "Łódź – Ελληνικά", "Дворжак Dvořák");
    EXPECT_EQ(summary.replaced, 0);
    EXPECT_EQ(output("pdftotext -enc UTF-8 -layout '" + m_pdf + "' - | head -5"), Lines);
    const std::string info = output("pdfinfo -enc UTF-8 '" + m_pdf + "'");
    EXPECT_NE(info.find("Title:           Łódź – Ελληνικά\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Author:          Дворжак Dvořák\n"), std::string::npos) << info;
    EXPECT_NE(info.find("PDF version:     1.2\n"), std::string::npos) << info;

    // Every embedded font is a subset with a ToUnicode map, and small.
    const std::string fonts = output("pdffonts '" + m_pdf + "'");
    EXPECT_TRUE(
        std::regex_search(fonts, std::regex("\n[A-Z]{6}\\+LiberationSerif +CID TrueType +Identity-H +yes yes yes")))
        << fonts;
    EXPECT_EQ(std::regex_search(fonts, std::regex(" no  no  no ")), true) << fonts; // Times-Roman itself
    EXPECT_EQ(fonts.find(" no  yes"), std::string::npos) << fonts;
    EXPECT_LT(readFile(m_pdf).size(), 40U * 1024) << "a page of text and one subset";

    EXPECT_TRUE(test::checkStructure(readFile(m_pdf)));
    EXPECT_TRUE(test::passesQpdf(m_pdf));
    EXPECT_EQ(output("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage '" + m_pdf + "'"), "");
    EXPECT_EQ(output("mutool draw -q -o /dev/null '" + m_pdf + "' 2>&1 | grep -v 'ICC support' || true"), "");
}

TEST_F(EmbeddedFonts, AFontThatHasWhatTheFamilyLacksIsFoundAndAGlyphNoFontHasIsOneQuestionMark)
{
    // Georgian is in no Liberation face; the private-use characters are in no installed font.
    const ReadingSummary summary =
        convert("a \xE1\x83\x90 b \xF4\x8F\xBF\xBD c \xF4\x8F\xBF\xBD\n", "t", "a", "Courier");
    EXPECT_EQ(summary.replaced, 2);
    EXPECT_EQ(summary.firstLine, 1);
    EXPECT_EQ(summary.firstColumn, 7);
    EXPECT_EQ(output("pdftotext -enc UTF-8 '" + m_pdf + "' - | head -1"), "a \xE1\x83\x90 b ? c ?\n");
    const std::string fonts = output("pdffonts '" + m_pdf + "'");
    EXPECT_EQ(std::regex_search(fonts, std::regex("\\+DejaVu[A-Za-z-]* +CID TrueType +Identity-H +yes yes yes")), true)
        << fonts;
    EXPECT_TRUE(test::checkStructure(readFile(m_pdf)));
    EXPECT_TRUE(test::passesQpdf(m_pdf));
}

TEST_F(EmbeddedFonts, WrappedRowsOfWideTextStayOnThePage)
{
    // Rows of Cyrillic longer than the page: cut at the edge, every letter kept, in order.
    std::string line;
    for (int i = 0; i < 40; ++i)
        line += "Щука ";
    convert(line + "\n" + line + "\n");
    const std::string text = output("pdftotext -enc UTF-8 '" + m_pdf + "' -");
    std::string joined;
    for (const char c : text)
        if (c != '\n' && c != ' ' && c != '\f')
            joined += c;
    std::string expected;
    for (int i = 0; i < 80; ++i)
        expected += "Щука";
    EXPECT_EQ(joined, expected + "1");
    const std::string box =
        output("pdftotext -bbox '" + m_pdf + "' - | grep -o 'xMax=\"[0-9.]*\"' | sort -t'\"' -k2 -n | tail -1");
    EXPECT_LE(std::stod(box.substr(6)), 612) << box; // the page's right edge
    EXPECT_TRUE(test::passesQpdf(m_pdf));
}

TEST_F(EmbeddedFonts, TextAllInWindows1252IsWrittenAsBefore)
{
    convert("plain caf\xC3\xA9 \xE2\x82\xAC 5\n");
    const std::string utf8 = readFile(m_pdf);
    writeFile(m_in, "plain caf\xE9 \x80 5\n");
    PdfWriter writer([] { return std::string("20030312101500"); });
    ASSERT_TRUE(writer.ConvertToPDF(
        PdfJob(m_in, m_pdf, {}, {}, {ReadingOptions::Encoding::Windows1252, ReadingOptions::LineEnds::Any})));
    EXPECT_TRUE(test::sameBytes(utf8, readFile(m_pdf)));
    EXPECT_EQ(utf8.find("Type0"), std::string::npos);
}

TEST(FontFace, AFileThatIsNoTrueTypeFontIsRefusedWithItsName)
{
    const test::TempDir dir;
    writeFile(dir.path() + "/text.ttf", "not a font at all");
    for (const std::string& path : {dir.path() + "/missing.ttf", dir.path() + "/text.ttf"}) {
        try {
            FontFace face(path);
            ADD_FAILURE() << path;
        } catch (const std::runtime_error& refused) {
            EXPECT_NE(std::string(refused.what()).find("'" + path + "'"), std::string::npos) << refused.what();
        }
    }
}

TEST(PdfJob, ATabSizePastSixtyFourIsRefusedWhenTheJobIsMade)
{
    ReadingOptions reading;
    reading.tabSize = 65;
    EXPECT_THROW(PdfJob("in", "out", {}, {}, reading), std::invalid_argument);
    reading.tabSize = -1;
    EXPECT_THROW(PdfJob("in", "out", {}, {}, reading), std::invalid_argument);
    reading.tabSize = 64;
    EXPECT_NO_THROW(PdfJob("in", "out", {}, {}, reading));
}

} // namespace

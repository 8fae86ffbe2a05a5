// Whole conversions: golden files, every offered combination checked by qpdf, the readers'
// view of text and information, refused input, and a document of many pages.
#include "pdftestsupport.h"
#include "pdfwriter.h"
#include "windows1252.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <stdexcept>

namespace quorvale {
namespace {

using test::readFile;
using test::sameBytes;

const std::string Golden = std::string(QUORVALE_TEST_DATA) + "/golden/";
// The entry window's default data sheet, the usual input.
const std::string DataSheet = std::string(QUORVALE_TEST_DATA) + "/../base/golden/default-datasheet.txt";
// The reading the golden files were made with: TABs kept as they are.
const ReadingOptions TabsKept{ReadingOptions::Encoding::Windows1252, ReadingOptions::LineEnds::Cr, 0,
                              ReadingOptions::Trim::Both};

class ConvertToPdf : public ::testing::Test {
protected:
    // The window's default information; a refused job or a failure is kept in m_messages.
    bool convert(const std::string& input, const std::string& output, const std::string& font = "Times-Roman",
                 std::int16_t size = 10, std::int16_t rotation = 0, float width = 8.5F, float height = 11,
                 const DocumentInformation& information = {})
    {
        try {
            const Result result = m_writer.ConvertToPDF(
                PdfJob(input, output, information, {font, size, rotation, width, height}, m_reading));
            if (!result)
                m_messages.push_back(result.reason);
            return result.ok;
        } catch (const std::invalid_argument& wrong) {
            m_messages.push_back(wrong.what());
            return false;
        }
    }
    test::TempDir m_dir;
    std::string m_folder = m_dir.path();
    ReadingOptions m_reading; // the output window's
    std::vector<std::string> m_messages;
    PdfWriter m_writer{[] { return std::string("20030312101500"); }};
};

TEST_F(ConvertToPdf, DefaultDataSheetMatchesTheGoldenFiles)
{
    m_reading = TabsKept;
    ASSERT_TRUE(convert(DataSheet, m_folder + "/default.pdf"));
    EXPECT_TRUE(sameBytes(readFile(m_folder + "/default.pdf"), readFile(Golden + "datasheet-default.pdf")));
    ASSERT_TRUE(convert(DataSheet, m_folder + "/courier.pdf", "Courier", 20, 90, 8.5F, 14));
    EXPECT_TRUE(sameBytes(readFile(m_folder + "/courier.pdf"), readFile(Golden + "datasheet-courier20.pdf")));
    EXPECT_TRUE(m_messages.empty());
}

// The data sheet's lines as rows would hold them before wrapping, joined.
std::string escapedStrippedText(const std::string& sheet)
{
    std::string joined;
    std::size_t begin = 0;
    for (std::size_t end; (end = sheet.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        std::string line = sheet.substr(begin, end - begin);
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(' ') + 1);
        joined += line;
    }
    return joined;
}

TEST_F(ConvertToPdf, EveryOfferedCombinationFollowsTheLayoutRules)
{
    m_reading = TabsKept;
    const std::string text = escapedStrippedText(readFile(DataSheet));
    const char* fonts[] = {"Courier", "Times-Roman", "Arial"};
    struct Page {
        float width, height;
        int points;
    };
    const Page sizes[] = {{8.5F, 11, 612}, {8.5F, 14, 612}, {14, 11, 1008}};
    int checked = 0;
    for (const test::Capacity& capacity : test::capacityTable()) {
        for (int font = 0; font < 3; ++font) {
            for (const Page& page : sizes) {
                for (const std::int16_t rotation : {0, 90, 180, 270}) {
                    const std::string name = std::string(fonts[font]) + "-" + std::to_string(capacity.size) + "-" +
                                             std::to_string(page.points) + "x" + std::to_string(int(page.height * 72)) +
                                             "-" + std::to_string(rotation);
                    SCOPED_TRACE(name);
                    const std::string path = m_folder + "/" + name + ".pdf";
                    ASSERT_TRUE(
                        convert(DataSheet, path, fonts[font], capacity.size, rotation, page.width, page.height));
                    const std::string pdf = readFile(path);
                    test::PdfPages pages;
                    ASSERT_TRUE(test::checkStructure(pdf, &pages));
                    EXPECT_TRUE(test::passesQpdf(path));

                    const int heightPoints = static_cast<int>(page.height * 72);
                    const int maxlines = heightPoints == 792 ? capacity.lines792 : capacity.lines1008;
                    const int charsByFont[2][3] = {{capacity.courier612, capacity.other612, capacity.arial612},
                                                   {capacity.courier1008, capacity.other1008, capacity.arial1008}};
                    const auto maxchars = static_cast<std::size_t>(charsByFont[page.points == 1008][font]);
                    const std::string size = std::to_string(capacity.size);
                    const std::string opening = "stream\r\nBT\r/F1 " + size + " Tf\r1 0 0 1 50 " +
                                                std::to_string(heightPoints - 40) + " Tm\r" + capacity.leading +
                                                " TL\r";
                    std::string joined;
                    std::size_t at = 0;
                    for (std::size_t k = 0; k < pages.rows.size(); ++k) {
                        EXPECT_LE(pages.rows[k].size(), static_cast<std::size_t>(maxlines));
                        for (const std::string& row : pages.rows[k]) {
                            EXPECT_LE(row.size(), maxchars);
                            joined += row;
                        }
                        at = pdf.find("/Rotate " + std::to_string(rotation) + "\r>>\rendobj\r", at);
                        ASSERT_NE(at, std::string::npos);
                        EXPECT_EQ(pdf.compare(pdf.find("stream\r\n", at), opening.size(), opening), 0);
                        const std::string footer = "\r1 0 0 1 " + std::to_string(page.points / 2) + " 25 Tm\r(" +
                                                   std::to_string(k + 1) + ") Tj\r/F1 " + size + " Tf\rET\r";
                        EXPECT_NE(pdf.find(footer, at), std::string::npos);
                    }
                    EXPECT_EQ(joined, text);
                    EXPECT_NE(pdf.find("\r/BaseFont /" + std::string(fonts[font]) + "\r"), std::string::npos);
                    EXPECT_NE(pdf.find("\r/MediaBox [ 0 0 " + std::to_string(page.points) + " " +
                                       std::to_string(heightPoints) + " ]\r"),
                              std::string::npos);
                    EXPECT_NE(pdf.find("\r/CreationDate (D:20030312101500)\r"), std::string::npos);
                    ++checked;
                }
            }
        }
    }
    EXPECT_EQ(checked, 252);
}

TEST_F(ConvertToPdf, ReadersGetTheTextAndInformationBack)
{
    const std::string typed = "Größe (x) \\ € – “q” ™ ‰ Œ";
    const std::string output = m_folder + "/info.pdf";
    m_reading = TabsKept;
    ASSERT_TRUE(convert(DataSheet, output, "Courier", 12, 0, 8.5F, 11, {typed, "c)", "k(", "s\\", typed + " title"}));
    EXPECT_TRUE(test::passesQpdf(output));
    std::string info;
    ASSERT_EQ(test::runCommand("pdfinfo -enc UTF-8 '" + output + "'", &info), 0);
    EXPECT_NE(info.find("\nAuthor:          " + typed + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           " + typed + " title\n"), std::string::npos) << info;
    EXPECT_NE(info.find("\nCreator:         c)\n"), std::string::npos) << info;
    EXPECT_NE(info.find("\nKeywords:        k(\n"), std::string::npos) << info;
    EXPECT_NE(info.find("\nSubject:         s\\\n"), std::string::npos) << info;

    // pdftotext drops blank rows, tabs and the blanks at row ends; so does the expectation.
    std::string text;
    ASSERT_EQ(test::runCommand("pdftotext '" + output + "' -", &text), 0);
    std::string expected;
    const std::string sheet = readFile(DataSheet);
    for (std::size_t begin = 0, end; (end = sheet.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        std::string line = sheet.substr(begin, end - begin);
        std::erase(line, '\t');
        line.erase(line.find_last_not_of(' ') + 1);
        if (!line.empty())
            expected += line + "\n";
    }
    EXPECT_EQ(text, expected + "\n1\n\n\f");
}

TEST_F(ConvertToPdf, ALongCommentInTheOutputWindowsFontStaysOnThePage)
{
    const std::string comment = "CUSTOMER REQUIRES 100% INSPECTION OF SEAM WM-4 UNTIL FURTHER NOTICE FROM QUALITY "
                                "MANAGER - SEE DEVIATION DR-2291";
    test::writeFile(m_folder + "/comment.txt", "Comments : " + comment + "\r\n");
    ASSERT_TRUE(convert(m_folder + "/comment.txt", m_folder + "/comment.pdf"));
    std::string text;
    ASSERT_EQ(test::runCommand("pdftotext '" + m_folder + "/comment.pdf' -", &text), 0);
    EXPECT_EQ(text, "Comments : CUSTOMER REQUIRES 100% INSPECTION OF SEAM WM-4 UNTIL FURTHER NOTICE FROM QUALITY\n"
                    "MANAGER - SEE DEVIATION DR-2291\n\n1\n\n\f");
}

TEST_F(ConvertToPdf, TheOutputWindowsReadingPutsTabbedLabelsApart)
{
    const std::string output = m_folder + "/tabs.pdf";
    ASSERT_TRUE(convert(DataSheet, output));
    const std::string pdf = readFile(output);
    // Two TABs after the 19 characters of the first label reach column 32.
    EXPECT_NE(pdf.find("T* (Inspector : SomeOne" + std::string(13, ' ') + "Inspection Date : 12 Mar 2003\r\n) Tj"),
              std::string::npos);
    EXPECT_NE(pdf.find("T* (Approved By : Orvin" + std::string(6, ' ') + "on : 12 Mar 2003\r\n) Tj"),
              std::string::npos);
    EXPECT_EQ(pdf.find('\t'), std::string::npos);
    std::string text;
    ASSERT_EQ(test::runCommand("pdftotext -layout '" + output + "' -", &text), 0);
    EXPECT_TRUE(std::regex_search(text, std::regex("SomeOne +Inspection Date : 12 Mar 2003\n"))) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("Calipers +Sheet : 1 of 18\n"))) << text;
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(ConvertToPdf, ManyPagesGrowTheTables)
{
    std::string input;
    for (int page = 0; page < 1700; ++page)
        input += "\fpage (" + std::to_string(page + 2) + ")\r\n";
    test::writeFile(m_folder + "/in.txt", input);
    const std::string output = m_folder + "/many.pdf";
    ASSERT_TRUE(convert(m_folder + "/in.txt", output));
    test::PdfPages pages;
    const std::string pdf = readFile(output);
    ASSERT_TRUE(test::checkStructure(pdf, &pages));
    EXPECT_EQ(pages.rows.size(), 1701U);
    EXPECT_EQ(pages.rows.back(), std::vector<std::string>{"\fpage \\(1701\\)"});
    EXPECT_NE(pdf.find("\r/Count 1701\r"), std::string::npos);
    EXPECT_TRUE(test::passesQpdf(output));
}

TEST_F(ConvertToPdf, MissingOrEmptyInputIsReportedAndNothingIsWritten)
{
    test::writeFile(m_folder + "/empty.txt", "");
    test::writeFile(m_folder + "/out.pdf", "older");
    EXPECT_FALSE(convert(m_folder + "/none.txt", m_folder + "/out.pdf"));
    EXPECT_FALSE(convert(m_folder + "/empty.txt", m_folder + "/out.pdf"));
    EXPECT_EQ(m_messages, (std::vector<std::string>{"File '" + m_folder + "/none.txt' does not exist.",
                                                    "File '" + m_folder + "/empty.txt' does not exist."}));
    EXPECT_EQ(readFile(m_folder + "/out.pdf"), "older");
}

TEST_F(ConvertToPdf, BadParametersLeaveTheOlderOutputAlone)
{
    test::writeFile(m_folder + "/out.pdf", "older");
    EXPECT_FALSE(convert(DataSheet, m_folder + "/out.pdf", "Courier", 0));
    EXPECT_FALSE(convert(DataSheet, m_folder + "/out.pdf", "Courier", 10, 0, 0, 11));
    EXPECT_EQ(m_messages.size(), 2U);
    EXPECT_EQ(m_messages[0], "The font size must be at least 1 point.");
    EXPECT_EQ(readFile(m_folder + "/out.pdf"), "older");
}

TEST_F(ConvertToPdf, AnOlderOutputIsReplacedAndTheInputNeverOverwritten)
{
    test::writeFile(m_folder + "/out.pdf", std::string(100000, 'o'));
    m_reading = TabsKept;
    ASSERT_TRUE(convert(DataSheet, m_folder + "/out.pdf"));
    EXPECT_TRUE(sameBytes(readFile(m_folder + "/out.pdf"), readFile(Golden + "datasheet-default.pdf")));

    test::writeFile(m_folder + "/in.txt", "keep me\r\n");
    EXPECT_FALSE(convert(m_folder + "/in.txt", m_folder + "/./in.txt"));
    EXPECT_EQ(readFile(m_folder + "/in.txt"), "keep me\r\n");
}

} // namespace
} // namespace quorvale

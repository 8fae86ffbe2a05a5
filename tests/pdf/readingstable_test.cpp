// The readings table on the text pages: its place among the text's lines, its columns as a reader
// finds them in each standard family, its heading on every page it runs onto, and the readers' view.
#include "pdftestsupport.h"
#include "pdfwriter.h"
#include "readingstable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <stdexcept>

namespace quorvale {
namespace {

using test::readFile;

// Readings of every width: signs, one to four decimals, a thousand; every fifth one out of tolerance.
ReadingsTable tableOf(std::int64_t firstLine, std::int64_t lines, int rows = 12)
{
    const char* values[] = {"25.0", "-0.125", "1234.5", "+7", "25.013", "0.1", "11.1111"};
    ReadingsTable table;
    table.firstLine = firstLine;
    table.lines = lines;
    for (int i = 1; i <= rows; ++i) {
        const std::string second = (i % 60 < 10 ? "0" : "") + std::to_string(i % 60);
        table.rows.push_back(
            {std::to_string(i), "2026-12-07 07:41:" + second, values[i % 7], i % 5 == 0 ? "above upper limit" : ""});
    }
    return table;
}

class ReadingsTableInPdf : public ::testing::Test {
protected:
    ReadingsTableInPdf() { test::writeFile(m_text, "Line 1\r\nLine 2\r\nLine 3\r\nLine 4\r\nLine 5\r\nLine 6\r\n"); }

    // The PDF's bytes; the file stays for the readers.
    std::string convert(const ReadingsTable& table, const PageSetup& page = {})
    {
        const Result result = m_writer.ConvertToPDF(PdfJob(m_text, m_pdf, {}, page, {}, std::nullopt, table));
        EXPECT_TRUE(result) << result.reason;
        const std::string pdf = readFile(m_pdf);
        EXPECT_TRUE(test::checkStructure(pdf));
        EXPECT_TRUE(test::passesQpdf(m_pdf));
        return pdf;
    }

    test::TempDir m_dir;
    std::string m_text = m_dir.path() + "/sheet.txt";
    std::string m_pdf = m_dir.path() + "/table.pdf";
    PdfWriter m_writer{[] { return std::string("20030312101500"); }};
};

TEST_F(ReadingsTableInPdf, StandsInPlaceOfItsLinesOrAfterAShorterText)
{
    const auto sequence = [&](const std::string& pdf) {
        std::multimap<std::size_t, std::string> at;
        for (const char* mark : {"Line 1", "Line 2", "Line 3", "Line 4", "Line 5", "Line 6", "No."}) {
            if (const std::size_t found = pdf.find("(" + std::string(mark)); found != std::string::npos)
                at.emplace(found, mark);
        }
        std::string names;
        for (const auto& [where, name] : at)
            names += name + "; ";
        return names;
    };
    EXPECT_EQ(sequence(convert(tableOf(3, 2))), "Line 1; Line 2; No.; Line 5; Line 6; ");
    EXPECT_EQ(sequence(convert(tableOf(3, 0))), "Line 1; Line 2; No.; Line 3; Line 4; Line 5; Line 6; ");
    EXPECT_EQ(sequence(convert(tableOf(5, 10))), "Line 1; Line 2; Line 3; Line 4; No.; ");
    EXPECT_EQ(sequence(convert(tableOf(7, 1))), "Line 1; Line 2; Line 3; Line 4; Line 5; Line 6; No.; ");
    EXPECT_EQ(sequence(convert(tableOf(1, 6))), "No.; ");
    EXPECT_THROW(PdfJob(m_text, m_pdf, {}, {}, {}, std::nullopt, tableOf(0, 1)), std::invalid_argument);
    EXPECT_THROW(PdfJob(m_text, m_pdf, {}, {}, {}, std::nullopt, tableOf(1, -1)), std::invalid_argument);
}

struct Word {
    double xMin, xMax;
    std::string text;
};

// The words of page 1 as pdftotext places them, row by row from the top.
std::vector<std::vector<Word>> wordRows(const std::string& pdf)
{
    std::string html;
    EXPECT_EQ(test::runCommand("pdftotext -bbox -f 1 -l 1 '" + pdf + "' -", &html), 0);
    const std::regex word(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
    std::map<double, std::vector<Word>> rows;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it)
        rows[std::stod((*it)[2])].push_back({std::stod((*it)[1]), std::stod((*it)[3]), (*it)[4]});
    std::vector<std::vector<Word>> ordered;
    for (auto& [y, words] : rows)
        ordered.push_back(words);
    return ordered;
}

TEST_F(ReadingsTableInPdf, ColumnsLineUpInEveryFamilyAsAReaderFindsThem)
{
    for (const char* font : {"Times-Roman", "Helvetica", "Courier"}) {
        SCOPED_TRACE(font);
        const ReadingsTable table = tableOf(3, 2);
        convert(table, {font});
        std::vector<std::vector<Word>> rows = wordRows(m_pdf);
        const auto heading = std::find_if(rows.begin(), rows.end(),
                                          [](const std::vector<Word>& row) { return row.front().text == "No."; });
        ASSERT_NE(heading, rows.end());
        ASSERT_GE(rows.end() - heading, 13);
        const std::vector<Word>& top = *heading;
        ASSERT_EQ(top.size(), 6U); // No. | Date and Time | Reading | Judgement
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            const std::vector<Word>& row = heading[static_cast<std::ptrdiff_t>(i) + 1];
            const ReadingsTableRow& cells = table.rows[i];
            ASSERT_GE(row.size(), 4U);
            EXPECT_EQ(row[0].text, cells.number);
            EXPECT_EQ(row[3].text, cells.reading);
            // Numbers and readings end where their headings end; dates and marks begin where theirs begin.
            EXPECT_NEAR(row[0].xMax, top[0].xMax, 0.02) << cells.number;
            EXPECT_NEAR(row[1].xMin, top[1].xMin, 0.02) << cells.dateTime;
            EXPECT_NEAR(row[3].xMax, top[4].xMax, 0.02) << cells.reading;
            if (!cells.judgement.empty()) {
                EXPECT_NEAR(row[4].xMin, top[5].xMin, 0.02) << cells.judgement;
            }
        }
        // Each column clear of the one before it.
        EXPECT_LT(top[0].xMax, top[1].xMin);
        EXPECT_LT(heading[3][1].xMax + 5, heading[3][3].xMin); // "1234.5", the widest reading
        EXPECT_LT(top[4].xMax, top[5].xMin);
    }
}

TEST_F(ReadingsTableInPdf, APageItRunsOntoBeginsWithItsHeading)
{
    // Three inches high: twelve rows a page.
    const std::string pdf = convert(tableOf(3, 2, 30), {"Times-Roman", 10, 0, 8.5F, 3});
    test::PdfPages pages;
    ASSERT_TRUE(test::checkStructure(pdf, &pages));
    ASSERT_EQ(pages.rows.size(), 4U); // 2 + 1 + 9, 1 + 11, 1 + 10 + 1, and "Line 6"
    std::size_t headings = 0;
    for (std::size_t at = pdf.find("(No.) Tj"); at != std::string::npos; at = pdf.find("(No.) Tj", at + 1))
        ++headings;
    EXPECT_EQ(headings, 3U);
    for (int page = 2; page <= 3; ++page) {
        std::string text;
        test::runCommand("pdftotext -layout -f " + std::to_string(page) + " -l " + std::to_string(page) + " '" + m_pdf +
                             "' -",
                         &text);
        EXPECT_EQ(text.substr(text.find_first_not_of(" \n"), 3), "No.") << text;
    }
    // The rest of the text follows the table: row 30 and "Line 5" fill page 3.
    std::string rest;
    test::runCommand("pdftotext -f 3 -l 4 '" + m_pdf + "' -", &rest);
    EXPECT_LT(rest.find("30"), rest.find("Line 5")) << rest;
    EXPECT_LT(rest.find("Line 5"), rest.find("Line 6")) << rest;
}

// Ghostscript and MuPDF, where installed, render a table in every family without a word of complaint.
TEST_F(ReadingsTableInPdf, OtherReadersRenderItSilently)
{
    int readers = 0;
    for (const char* font : {"Times-Roman", "Helvetica", "Courier"}) {
        convert(tableOf(3, 2), {font});
        for (const auto& [program, command] :
             {std::pair<std::string, std::string>{"gs", "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage '" + m_pdf +
                                                            "' 2>&1"},
              {"mutool", "mutool draw -q -o /dev/null -F png '" + m_pdf + "' 2>&1 | grep -v 'ICC support'"}}) {
            if (test::runCommand("command -v " + program + " >/dev/null") != 0)
                continue;
            std::string said;
            test::runCommand(command, &said);
            EXPECT_EQ(said, "") << program << " " << font;
            ++readers;
        }
    }
    if (readers == 0)
        GTEST_SKIP() << "neither Ghostscript nor MuPDF is installed";
}

} // namespace
} // namespace quorvale

// The chart page: its drawing as exact bytes, the figures it refuses, and a whole document with it.
#include "bytesink.h"
#include "chartpage.h"
#include "pdfdocument.h"
#include "pdftestsupport.h"
#include "pdfwriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace quorvale {
namespace {

using test::readFile;
using test::sameBytes;

const ChartData SmallRun{"Part 7 - Check 25.000", {25.002, 25.013, 24.999}, 25.010, 24.990, 25.002, 3,
                         {false, true, false}};

// The content stream of the chart page in a document of that page alone.
std::string chartStream(const ChartData& chart, const PageSetup& page = {})
{
    const PageGeometry geometry = initpdf(page);
    const DocumentInformation information;
    MemorySink sink;
    PdfDocument document(sink, geometry, information);
    document.startpdf();
    document.writeinfo("20030312101500");
    writeChartPage(document, geometry, chart);
    document.endpdf();
    EXPECT_TRUE(test::checkStructure(sink.bytes()));
    const std::string& pdf = sink.bytes();
    const std::size_t begin = pdf.find("stream\r\n") + 8;
    return pdf.substr(begin, pdf.find("endstream") - begin);
}

TEST(ChartPage, DrawsASmallRunWithItsLimitsMedianAndLabels)
{
    // Reading 2 lies above the upper limit: its mark is red. The stream closes with the page number.
    const std::string expected =
        "BT\r/F1 10 Tf\r1 0 0 1 50 752 Tm\r12 TL\rET\rq\r0.5 w\r120 70 352 652 re S\r117 70 m 120 70 l S\r"
        "117 233 m 120 233 l S\r117 396 m 120 396 l S\r117 559 m 120 559 l S\r117 722 m 120 722 l S\r"
        "120 70 m 120 67 l S\r296 70 m 296 67 l S\r472 70 m 472 67 l S\rQ\rq\r1 w\r"
        "120 596.8 m 472 596.8 l S\r120 124.33 m 472 124.33 l S\r[4 3] 0 d\r120 407.81 m 472 407.81 l S\rQ\r"
        "q\r1 w\r0 0 0.75 RG\r0 0 0.75 rg\r120 407.81 m\r296 667.67 l\r472 336.94 l\rS\r118 405.81 4 4 re f\r"
        "470 334.94 4 4 re f\r1 0 0 rg\r294 665.67 4 4 re f\rQ\rBT\r/F1 10 Tf\r1 0 0 1 50 742 Tm\r"
        "(Part 7 - Check 25.000) Tj\r1 0 0 1 87.5 66.67 Tm\r(24.988) Tj\r1 0 0 1 87.5 229.67 Tm\r"
        "(24.995) Tj\r1 0 0 1 87.5 392.67 Tm\r(25.002) Tj\r1 0 0 1 87.5 555.67 Tm\r(25.008) Tj\r"
        "1 0 0 1 87.5 718.67 Tm\r(25.015) Tj\r1 0 0 1 117.5 56 Tm\r(1) Tj\r1 0 0 1 293.5 56 Tm\r(2) Tj\r"
        "1 0 0 1 469.5 56 Tm\r(3) Tj\r1 0 0 1 476 593.46 Tm\r(Upper 25.010) Tj\r1 0 0 1 476 121 Tm\r"
        "(Lower 24.990) Tj\r1 0 0 1 476 404.48 Tm\r(Median 25.002) Tj\rET\rBT\r1 0 0 1 306 25 Tm\r(1) Tj\r"
        "/F1 10 Tf\rET\r";
    EXPECT_TRUE(sameBytes(chartStream(SmallRun), expected));
}

TEST(ChartPage, AFlatRunOfOneReadingWithoutLimitsStillHasARange)
{
    const std::string stream = chartStream({"One", {0}, {}, {}, 0, 1, {false}});
    EXPECT_EQ(stream.find("nan"), std::string::npos);
    EXPECT_EQ(stream.find("inf"), std::string::npos);
    EXPECT_NE(stream.find("(Median 0.0) Tj"), std::string::npos);
    EXPECT_EQ(stream.find("(Upper"), std::string::npos);
}

TEST(ChartPage, AChartWithoutReadingsOrWithFiguresThatAreNotFiniteIsRefused)
{
    EXPECT_THROW(checkChart({"t", {}, {}, {}, {}, 3, {}}), std::invalid_argument);
    EXPECT_THROW(checkChart({"t", {1, NAN}, {}, {}, {}, 3, {false, false}}), std::invalid_argument);
    EXPECT_THROW(checkChart({"t", {1}, INFINITY, {}, {}, 3, {false}}), std::invalid_argument);
    EXPECT_THROW(checkChart({"t", {1, 2}, {}, {}, {}, 3, {false}}), std::invalid_argument);
    EXPECT_NO_THROW(checkChart(SmallRun));
}

TEST(ChartPage, TheDataSheetWithItsChartMatchesTheGoldenFile)
{
    const test::TempDir folder;
    const std::string sheet = std::string(QUORVALE_TEST_DATA) + "/../base/golden/default-datasheet.txt";
    PdfWriter writer([] { return std::string("20030312101500"); });
    const std::string output = folder.path() + "/chart.pdf";
    ASSERT_TRUE(writer.ConvertToPDF(PdfJob(sheet, output, {}, {}, {}, SmallRun)));
    const std::string pdf = readFile(output);
    test::PdfPages pages;
    EXPECT_TRUE(test::checkStructure(pdf, &pages));
    EXPECT_EQ(pages.rows.size(), 2U);
    EXPECT_NE(pdf.find("\r/Count 2\r"), std::string::npos);
    EXPECT_TRUE(test::passesQpdf(output));
    std::string text;
    ASSERT_EQ(test::runCommand("pdftotext -f 2 -l 2 '" + output + "' -", &text), 0);
    for (const char* shown : {"Part 7 - Check 25.000", "Upper 25.010", "Lower 24.990", "Median 25.002", "\n2\n"})
        EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
    EXPECT_TRUE(sameBytes(pdf, readFile(std::string(QUORVALE_TEST_DATA) + "/golden/datasheet-chart.pdf")));
}

// Ghostscript and MuPDF, where installed, render every page without a word of complaint.
TEST(ChartPage, OtherReadersRenderTheGoldenFileSilently)
{
    const std::string golden = std::string(QUORVALE_TEST_DATA) + "/golden/datasheet-chart.pdf";
    int readers = 0;
    for (const auto& [program, command] :
         {std::pair<std::string, std::string>{"gs",
                                              "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage '" + golden + "'"},
          {"mutool", "mutool draw -q -o /dev/null -F png '" + golden + "' 2>&1 | grep -v 'ICC support'"}}) {
        if (test::runCommand("command -v " + program + " >/dev/null") != 0)
            continue;
        std::string said;
        test::runCommand(command, &said);
        EXPECT_EQ(said, "") << program;
        ++readers;
    }
    if (readers == 0)
        GTEST_SKIP() << "neither Ghostscript nor MuPDF is installed";
}

} // namespace
} // namespace quorvale

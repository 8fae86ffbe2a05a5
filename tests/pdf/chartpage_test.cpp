// The chart page: its drawing as exact bytes, the figures it refuses, and a whole document with it.
#include "bytesink.h"
#include "chartpage.h"
#include "documentfonts.h"
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

using Kind = ChartLevel::Kind;
constexpr ChartJudgement Above = ChartJudgement::Above;

const ChartData SmallRun{"Part 7 - Check 25.000",
                         "",
                         {{25.002}, {25.013, Above}, {24.999}},
                         {{Kind::Limit, 25.010, "Upper 25.010"},
                          {Kind::Limit, 24.990, "Lower 24.990"},
                          {Kind::Median, 25.002, "Median 25.002"}},
                         3};

// The content stream of the chart page in a document of that page alone.
std::string chartStream(const ChartData& chart, const PageSetup& page = {})
{
    const PageGeometry geometry = initpdf(page);
    const DocumentInformation information;
    MemorySink sink;
    PdfDocument document(sink, geometry, information);
    document.startpdf();
    document.writeinfo("20030312101500");
    DocumentFonts fonts(geometry.fontname);
    writeChartPage(document, geometry, chart, fonts);
    document.endpdf();
    EXPECT_TRUE(test::checkStructure(sink.bytes()));
    const std::string& pdf = sink.bytes();
    const std::size_t begin = pdf.find("stream\r\n") + 8;
    return pdf.substr(begin, pdf.find("endstream") - begin);
}

TEST(ChartPage, DrawsASmallRunWithItsLimitsMedianAndLabels)
{
    // Reading 2 lies above the upper limit: its mark is a red triangle. Values up the side at steps of
    // 0.005; the labels from the lowest level up. The stream closes with the page number.
    const std::string expected =
        "BT\r/F1 10 Tf\r1 0 0 1 50 752 Tm\r12 TL\rET\rq\r0.5 w\r120 70 352 652 re S\r117 124.33 m 120 124.33 l S\r"
        "117 242.45 m 120 242.45 l S\r117 360.57 m 120 360.57 l S\r117 478.68 m 120 478.68 l S\r"
        "117 596.8 m 120 596.8 l S\r117 714.91 m 120 714.91 l S\r120 70 m 120 67 l S\r296 70 m 296 67 l S\r"
        "472 70 m 472 67 l S\rQ\rq\r1 w\r120 596.8 m 472 596.8 l S\rQ\rq\r1 w\r120 124.33 m 472 124.33 l S\rQ\r"
        "q\r1 w\r[4 3] 0 d\r120 407.81 m 472 407.81 l S\rQ\rq\r1 w\r0 0 0.75 RG\r0 0 0.75 rg\r120 407.81 m\r"
        "296 667.67 l\r472 336.94 l\rS\r118 405.81 4 4 re f\r470 334.94 4 4 re f\r1 0 0 rg\r"
        "296 672.67 m 292 664.67 l 300 664.67 l f\rQ\rBT\r/F1 10 Tf\r1 0 0 1 50 742 Tm\r(Part 7 - Check 25.000) Tj\r"
        "1 0 0 1 87.5 121 Tm\r(24.990) Tj\r1 0 0 1 87.5 239.12 Tm\r(24.995) Tj\r1 0 0 1 87.5 357.23 Tm\r(25.000) Tj\r"
        "1 0 0 1 87.5 475.35 Tm\r(25.005) Tj\r1 0 0 1 87.5 593.46 Tm\r(25.010) Tj\r1 0 0 1 87.5 711.58 Tm\r(25.015) "
        "Tj\r"
        "1 0 0 1 117.5 56 Tm\r(1) Tj\r1 0 0 1 293.5 56 Tm\r(2) Tj\r1 0 0 1 469.5 56 Tm\r(3) Tj\r"
        "1 0 0 1 476 121 Tm\r(Lower 24.990) Tj\r1 0 0 1 476 404.48 Tm\r(Median 25.002) Tj\r"
        "1 0 0 1 476 593.46 Tm\r(Upper 25.010) Tj\rET\rBT\r1 0 0 1 306 25 Tm\r(1) Tj\r/F1 10 Tf\rET\r";
    EXPECT_TRUE(sameBytes(chartStream(SmallRun), expected));
}

// Readings 5, 10 and 0 span 0 to 10, and a tenth of that each way: y(v) = 70 + 652 (v + 1) / 12.
const ChartData EveryElement{"Part 7 - Check 5 mm",
                             "mm",
                             {{5}, {10, Above}, {0, ChartJudgement::Below}},
                             {{Kind::Limit, 8, "Upper 8"},
                              {Kind::Check, 5, "Check 5"},
                              {Kind::Median, 5, "Median 5"},
                              {Kind::NaturalLimit, 9.5, "UNPL 9.5"},
                              {Kind::NaturalLimit, 0.5, "LNPL 0.5"}},
                             0};

TEST(ChartPage, EachElementIsDrawnWithItsOwnOperators)
{
    const std::string stream = chartStream(EveryElement);
    for (const char* drawn : {
             // Each level in its own line style, across the frame from x 120 to 472.
             "q\r1 w\r120 559 m 472 559 l S\rQ\r",
             "q\r0.75 w\r[6 2 1 2] 0 d\r120 396 m 472 396 l S\rQ\r",
             "q\r1 w\r[4 3] 0 d\r120 396 m 472 396 l S\rQ\r",
             "q\r0.75 w\r[2 2] 0 d\r120 640.5 m 472 640.5 l S\rQ\r",
             "q\r0.75 w\r[2 2] 0 d\r120 151.5 m 472 151.5 l S\rQ\r",
             // A square within the limits, then in red a triangle pointing up above them and down below.
             "118 394 4 4 re f\r1 0 0 rg\r296 672.67 m 292 664.67 l 300 664.67 l f\r"
             "472 119.33 m 468 127.33 l 476 127.33 l f\rQ\r",
             // Values 0 to 10 at steps of 2 (12 / 1 would be twelve steps), right-aligned at x 115.
             "117 124.33 m 120 124.33 l S\r117 233 m 120 233 l S\r",
             "1 0 0 1 110 121 Tm\r(0) Tj\r1 0 0 1 110 229.67 Tm\r(2) Tj\r",
             "1 0 0 1 105 664.33 Tm\r(10) Tj\r",
             // The unit over the values; the labels at their levels, the median's moved clear of the check's.
             "1 0 0 1 99.44 727 Tm\r(mm) Tj\r",
             "1 0 0 1 476 392.67 Tm\r(Check 5) Tj\r1 0 0 1 476 402.67 Tm\r(Median 5) Tj\r",
             "1 0 0 1 476 637.17 Tm\r(UNPL 9.5) Tj\r",
         })
        EXPECT_NE(stream.find(drawn), std::string::npos) << drawn << "\n" << stream;
    EXPECT_EQ(stream.find("(12) Tj"), std::string::npos);
}

TEST(ChartPage, ValuesUpTheSideStepByOneTwoOrFiveInTheDecimalsGiven)
{
    const auto valuesShown = [](const std::vector<double>& readings, int decimals) {
        ChartData chart{"t", "", {}, {}, decimals};
        for (const double value : readings)
            chart.readings.push_back({value});
        const std::string stream = chartStream(chart);
        std::string shown;
        for (std::size_t at = stream.find(" Tm\r("); at != std::string::npos; at = stream.find(" Tm\r(", at + 1)) {
            const std::size_t x = stream.rfind("1 0 0 1 ", at) + 8;
            if (stream.compare(x, 3, "50 ") != 0 &&
                std::stod(stream.substr(x)) < 116) // left of the frame and of reading 1
                shown += stream.substr(at + 5, stream.find(") Tj", at) - at - 5) + " ";
        }
        return shown;
    };
    // 24.983 to 25.020 and a tenth of that each way: 24.9793 to 25.0237, at most eight steps of 0.01
    // (0.005 would be nine), not at a quarter of the range.
    EXPECT_EQ(valuesShown({24.983, 25.020}, 3), "24.980 24.990 25.000 25.010 25.020 ");
    EXPECT_EQ(valuesShown({24.99, 25.01}, 3), "24.990 24.995 25.000 25.005 25.010 ");
    // Never finer than the decimals while that leaves two values to show (24.2 to 27.8: 0.5 would do)...
    EXPECT_EQ(valuesShown({24.5, 27.5}, 0), "25 26 27 ");
    // ...and finer, with the decimals the step needs, where it would leave none (0.02 to 0.98).
    EXPECT_EQ(valuesShown({0.1, 0.9}, 0), "0.2 0.4 0.6 0.8 ");
}

TEST(ChartPage, AFlatRunOfOneReadingWithoutLimitsStillHasARange)
{
    const std::string stream = chartStream({"One", "", {{0}}, {{Kind::Median, 0, "Median 0.0"}}, 1});
    EXPECT_EQ(stream.find("nan"), std::string::npos);
    EXPECT_EQ(stream.find("inf"), std::string::npos);
    EXPECT_NE(stream.find("(Median 0.0) Tj"), std::string::npos);
    EXPECT_EQ(stream.find("(Upper"), std::string::npos);
}

TEST(ChartPage, AChartWithoutReadingsOrWithFiguresThatAreNotFiniteIsRefused)
{
    EXPECT_THROW(checkChart({"t", "", {}, {}, 3}), std::invalid_argument);
    EXPECT_THROW(checkChart({"t", "", {{1}, {NAN}}, {}, 3}), std::invalid_argument);
    EXPECT_THROW(checkChart({"t", "", {{1}}, {{Kind::Limit, INFINITY, "Upper"}}, 3}), std::invalid_argument);
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

// A title, unit and label beyond Windows-1252 come back whole from the page, where each stands,
// and the text's own fonts are the ones the chart's characters use.
TEST(ChartPage, LettersBeyondWindows1252ComeBackFromTitleUnitAndLabels)
{
    const test::TempDir folder;
    const std::string text = folder.path() + "/text.txt";
    test::writeFile(text, "Łódź\n");
    ChartData chart = EveryElement;
    chart.title = "Part Łódź - Ελληνικά - Кириллица";
    chart.unit = "µm";
    chart.levels[1].label = "Check 5 Ø ±";
    const std::string output = folder.path() + "/chart.pdf";
    PdfWriter writer([] { return std::string("20030312101500"); });
    ASSERT_TRUE(writer.ConvertToPDF(PdfJob(text, output, {}, {}, {ReadingOptions::Encoding::Utf8}, chart)));
    EXPECT_TRUE(test::passesQpdf(output));
    std::string shown;
    ASSERT_EQ(test::runCommand("pdftotext -enc UTF-8 -f 2 -l 2 '" + output + "' -", &shown), 0);
    for (const char* whole : {"Part Łódź - Ελληνικά - Кириллица", "µm", "Check 5 Ø ±", "Median 5"})
        EXPECT_NE(shown.find(whole), std::string::npos) << whole << "\n" << shown;
    EXPECT_EQ(shown.find('?'), std::string::npos) << shown;
    std::string fonts;
    ASSERT_EQ(test::runCommand("pdffonts '" + output + "' | tail -n +3 | wc -l", &fonts), 0);
    EXPECT_EQ(fonts, "2\n"); // the standard font and one Liberation subset for both pages

    // The unit stays right-aligned at x 115 in the embedded face's widths, as "mm" does.
    std::string box;
    ASSERT_EQ(test::runCommand("pdftotext -f 2 -l 2 -bbox '" + output + "' - | grep '>µm<'", &box), 0);
    const std::size_t right = box.find("xMax=\"") + 6;
    EXPECT_NEAR(std::stod(box.substr(right)), 115, 0.5) << box;
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

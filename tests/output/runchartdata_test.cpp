// The chart the PDF ends with, as the output window makes it from the record: its texts stay UTF-8
// on their way to the page, where they come back whole.
#include "pdfjob.h"
#include "pdfwriter.h"
#include "runchartdata.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(RunChartData, ARecordBeyondWindows1252ReachesTheChartPageWhole)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.PartNumber = "Łódź-7 Ωμέγα";
    record.Check = "25.000";
    record.UpperTolerance = "0.010";
    record.LowerTolerance = "0.010";
    record.Readings = {{Moment{1796659200, 3600}, *Decimal::parse("25.002")},
                       {Moment{1796659260, 3600}, *Decimal::parse("25.013")}};
    const std::optional<ChartData> chart = runChartOf(record);
    ASSERT_TRUE(chart);
    EXPECT_EQ(chart->title.rfind("Part Łódź-7 Ωμέγα - Check 25.000 - ", 0), 0U) << chart->title;

    const test::TempDir folder;
    const std::string text = folder.path() + "/sheet.txt";
    const std::string pdf = folder.path() + "/run.pdf";
    test::writeFile(text, "Part Łódź-7 Ωμέγα\n");
    PdfWriter writer([] { return std::string("20030312101500"); });
    ASSERT_TRUE(writer.ConvertToPDF(PdfJob(text, pdf, {}, {}, {ReadingOptions::Encoding::Utf8}, chart)));
    std::string shown;
    ASSERT_EQ(test::runCommand("pdftotext -enc UTF-8 -f 2 -l 2 '" + pdf + "' -", &shown), 0);
    EXPECT_NE(shown.find("Part Łódź-7 Ωμέγα - Check 25.000"), std::string::npos) << shown;
}

} // namespace
} // namespace quorvale

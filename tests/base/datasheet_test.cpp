// The data sheet: its exact bytes, its place, and what a failed write leaves behind.
#include "datasheet.h"
#include "filesizelimit.h"
#include "readingof.h"
#include "tempdir.h"
#include "testfiles.h"
#include "unwritableplaces.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace quorvale;
namespace fs = std::filesystem;

namespace {

using test::readFile;
using test::sameBytes;

class DataSheetWrite : public testing::Test {
protected:
    const test::TempDir m_folder;
    const fs::path m_dir = m_folder.path();
};

} // namespace

TEST(DataSheet, DefaultRecordGivesTheThirtyLineSheet)
{
    const std::string golden = readFile(QUORVALE_TEST_DATA "/golden/default-datasheet.txt");
    ASSERT_EQ(golden.size(), 608u);
    EXPECT_TRUE(sameBytes(DataSheetText(DefaultRunChartRecord()), golden));
}

TEST(DataSheet, LoggedReadingsFollowTheCommentsInColumnsWithTheSummary)
{
    // A gauge's sizes around Check 25.000 +0.010/-0.010, one a second from 14:28:05, an hour east of UTC.
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = "25.000";
    record.UpperTolerance = "+0.010";
    record.LowerTolerance = "-0.010";
    const char* values[] = {"25.002", "25.004", "24.98",  "25.006", "25.001",
                            "25.003", "25.008", "25.005", "25.009", "25.013"};
    for (int i = 0; i < 10; ++i)
        record.Readings.push_back(ReadingOf(1796650085 + i, 3600, values[i]));
    RunChartRecord untouched = record;
    untouched.Readings.clear();
    const std::string golden = DataSheetText(untouched);
    // Padded in blanks as Times and Helvetica draw them: a digit is two blanks wide. Sum 250.031; moving
    // ranges sum to 0.075 over 9, sigma within 0.075 / 9 / 1.128; Cpk (25.010 - 25.0031) / (3 x 0.00739).
    // Natural process limits 25.0031 ± 2.66 x 0.075 / 9: 24.98093 to 25.02527, so 24.98 lies beyond.
    // Cpk 0.3113 ± 1.96 sqrt(1/90 + 0.3113² / 18) = ± 0.2517; Ppk 0.2592 ± 0.2388. Within, 25.010 is
    // 0.934 sigmas above the mean and 24.990 1.773 below: 0.17516 + 0.03809 of the parts outside.
    const std::string expected = golden + "\r\nReadings :\r\n"
                                          "  1  2026-12-07 14:28:05  25.002\r\n"
                                          "  2  2026-12-07 14:28:06  25.004\r\n"
                                          "  3  2026-12-07 14:28:07  24.98    below lower limit\r\n"
                                          "  4  2026-12-07 14:28:08  25.006\r\n"
                                          "  5  2026-12-07 14:28:09  25.001\r\n"
                                          "  6  2026-12-07 14:28:10  25.003\r\n"
                                          "  7  2026-12-07 14:28:11  25.008\r\n"
                                          "  8  2026-12-07 14:28:12  25.005\r\n"
                                          "  9  2026-12-07 14:28:13  25.009\r\n"
                                          "10  2026-12-07 14:28:14  25.013  above upper limit\r\n"
                                          "\r\nSummary : Part R24 G198 - Operation 12 - Check 25.000\r\n"
                                          "Readings : 10\r\n"
                                          "Out of tolerance : 2\r\n"
                                          "Mean : 25.00310\r\n"
                                          "Median : 25.0045\r\n"
                                          "Sigma (within) : 0.00739\r\n"
                                          "Sigma (overall) : 0.00888\r\n"
                                          "Cp : 0.45\r\n"
                                          "Cpk : 0.31\r\n"
                                          "Pp : 0.38\r\n"
                                          "Ppk : 0.26\r\n"
                                          "Signals : Beyond LNPL: reading 3 (14:28:07)\r\n"
                                          "Capability note : (fewer than 25 readings: a rough guide)\r\n"
                                          "Cpk 95% interval : 0.06 to 0.56\r\n"
                                          "Ppk 95% interval : 0.02 to 0.50\r\n"
                                          "Expected ppm (within) : 213252.53\r\n"
                                          "Expected ppm (overall) : 288409.51\r\n"
                                          "UNPL : 25.02527\r\n"
                                          "LNPL : 24.98093\r\n";
    EXPECT_TRUE(sameBytes(DataSheetText(record), expected));

    // Comments without a final line break still leave the readings an empty line of their own; a
    // single reading has no sigma and no indices, and those lines stay empty.
    record.Comments = "last";
    record.Readings.resize(1);
    EXPECT_TRUE(DataSheetText(record).ends_with("Comments :\r\nlast\r\n\r\nReadings :\r\n"
                                                "1  2026-12-07 14:28:05  25.002\r\n\r\n"
                                                "Summary : Part R24 G198 - Operation 12 - Check 25.000\r\n"
                                                "Readings : 1\r\nOut of tolerance : 0\r\nMean : 25.00200\r\n"
                                                "Median : 25.0020\r\nSigma (within) : \r\nSigma (overall) : \r\n"
                                                "Cp : \r\nCpk : \r\nPp : \r\nPpk : \r\nSignals : None\r\n"
                                                "Capability note : \r\nCpk 95% interval : \r\nPpk 95% interval : \r\n"
                                                "Expected ppm (within) : \r\nExpected ppm (overall) : \r\n"
                                                "UNPL : \r\nLNPL : \r\n"));
}

// The lines a reader of the sheet counts, a CR alone or before an LF ending each.
std::vector<std::string> sheetLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t cr = text.find('\r'); cr != std::string::npos; cr = text.find('\r', start)) {
        lines.push_back(text.substr(start, cr - start));
        start = cr + (text.compare(cr, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

TEST(DataSheet, TheReadingLinesAreWhereTheSheetListsThem)
{
    RunChartRecord record = DefaultRunChartRecord();
    for (const char* comments : {"", "one line", "two\r\nlines", "a lone\rCR and a lone\nLF"}) {
        SCOPED_TRACE(comments);
        record.Comments = comments;
        record.Description = std::string("Bracket") + (comments[0] == 'a' ? "\r" : "");
        record.Readings.clear();
        EXPECT_EQ(DataSheetReadingLines(record).count, 0);
        for (int i = 0; i < 12; ++i)
            record.Readings.push_back(ReadingOf(1796650085 + 60 * i, 3600, "25.00" + std::to_string(i % 10)));
        const SheetLines listed = DataSheetReadingLines(record);
        const std::vector<std::string> lines = sheetLines(DataSheetText(record));
        ASSERT_EQ(listed.count, 12);
        ASSERT_LT(listed.first + listed.count, static_cast<std::int64_t>(lines.size()));
        EXPECT_EQ(lines[listed.first - 2], "Readings :");
        EXPECT_TRUE(lines[listed.first - 1].starts_with("  1  2026-12-07 14:28:05  25.000")) << lines[listed.first - 1];
        EXPECT_TRUE(lines[listed.first + 10].starts_with("12  2026-12-07 14:39:05  25.001"));
        EXPECT_EQ(lines[listed.first + 11], "");
    }
}

TEST(DataSheet, PathIsTheFolderJoinedAsItIs)
{
    EXPECT_EQ(DataSheetPath("/opt/quorvale"), "/opt/quorvale/tempchart.txt");
    EXPECT_EQ(DataSheetPath("/"), "//tempchart.txt");
}

TEST(DataSheet, FieldsAreWrittenVerbatimAndEmptyOnesLeaveTheirLabels)
{
    const std::string empty = DataSheetText(RunChartRecord{});
    EXPECT_NE(empty.find("\r\n\r\nPart Number : \r\n\r\nCustomer Name : \r\n\r\n"), std::string::npos);
    EXPECT_NE(empty.find("Approved By : \t on : \r\n"), std::string::npos);
    EXPECT_NE(empty.find("Inspection Tool : \t\tSheet :  of \r\n"), std::string::npos);
    EXPECT_TRUE(empty.ends_with("\r\nComments :\r\n\r\n"));

    RunChartRecord record = DefaultRunChartRecord();
    record.Comments = "first\r\nlast";
    EXPECT_TRUE(DataSheetText(record).ends_with("\r\n\r\nComments :\r\nfirst\r\nlast\r\n"));

    record.PartNumber = "  R24\tG198  ";
    EXPECT_NE(DataSheetText(record).find("Part Number :   R24\tG198  \r\n"), std::string::npos);
}

TEST(DataSheet, ARecordWindows1252CannotHoldIsWrittenAsUtf8AfterItsMark)
{
    RunChartRecord record;
    record.CustomerName = "Br\xC3\xA9nholt \xE2\x82\xAC"; // é €
    const std::string ansi = DataSheetText(record);
    EXPECT_TRUE(ansi.starts_with("Data Sheet\r\n"));
    EXPECT_NE(ansi.find("Customer Name : Br\xE9nholt \x80\r\n"), std::string::npos);

    record.PartNumber = "R24 \xE4\xB8\xAD"; // 中
    const std::string utf8 = DataSheetText(record);
    EXPECT_TRUE(utf8.starts_with("\xEF\xBB\xBF"
                                 "Data Sheet\r\n"));
    EXPECT_NE(utf8.find("Part Number : R24 \xE4\xB8\xAD\r\n"), std::string::npos);
    EXPECT_NE(utf8.find("Customer Name : Br\xC3\xA9nholt \xE2\x82\xAC\r\n"), std::string::npos);
}

TEST_F(DataSheetWrite, WritesTheSheetAndReplacesAnEarlierOneCompletely)
{
    const std::string path = DataSheetPath(m_dir.string());
    ASSERT_TRUE(WriteDataSheet(DefaultRunChartRecord(), path));
    EXPECT_TRUE(sameBytes(readFile(path), readFile(QUORVALE_TEST_DATA "/golden/default-datasheet.txt")));

    ASSERT_TRUE(WriteDataSheet(RunChartRecord{}, path));
    EXPECT_TRUE(sameBytes(readFile(path), DataSheetText(RunChartRecord{})));
}

// A folder that is a regular file, a directory where the sheet should be, a missing folder, a full disk.
TEST_F(DataSheetWrite, FailureGivesTheReasonAndLeavesNoFile)
{
    for (const test::UnwritablePlace& place : test::unwritablePlaces(m_folder.path())) {
        const Result written = WriteDataSheet(DefaultRunChartRecord(), place.path);
        EXPECT_FALSE(written) << place.path;
        EXPECT_EQ(written.reason, place.reason);
        EXPECT_TRUE(test::leftAlone(place));
    }
}

TEST_F(DataSheetWrite, ALinkPlantedAtTheNameIsReplacedNotWrittenThrough)
{
    const std::string path = DataSheetPath(m_dir.string());
    std::ofstream(m_dir / "victim") << "someone else's file";
    fs::create_symlink(m_dir / "victim", path);
    ASSERT_TRUE(WriteDataSheet(DefaultRunChartRecord(), path));
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(readFile(path), DataSheetText(DefaultRunChartRecord()));
    EXPECT_EQ(readFile((m_dir / "victim").string()), "someone else's file");

    // A dangling link would otherwise create its target.
    fs::remove(path);
    fs::create_symlink(m_dir / "created", path);
    ASSERT_TRUE(WriteDataSheet(DefaultRunChartRecord(), path));
    EXPECT_FALSE(fs::exists(m_dir / "created"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
}

TEST_F(DataSheetWrite, APipeWithoutReaderIsRefusedAtOnceAndKept)
{
    const std::string path = DataSheetPath(m_dir.string());
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    const Result refused = WriteDataSheet(DefaultRunChartRecord(), path);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.reason, "No such device or address");
    EXPECT_TRUE(fs::is_fifo(path));
}

TEST_F(DataSheetWrite, FileSizeLimitRemovesTheTruncatedSheet)
{
    const std::string path = DataSheetPath(m_dir.string());
    ASSERT_TRUE(WriteDataSheet(DefaultRunChartRecord(), path)); // an earlier sheet is there

    EXPECT_TRUE(test::HoldsUnderFileSizeLimit(100, [&] {
        const Result full = WriteDataSheet(DefaultRunChartRecord(), path);
        return !full && full.reason == "File too large";
    }));
    EXPECT_FALSE(fs::exists(path));
}

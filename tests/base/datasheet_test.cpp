// The data sheet: its exact bytes, its place, and what a failed write leaves behind.
#include "datasheet.h"
#include "filesizelimit.h"
#include "tempdir.h"
#include "testfiles.h"
#include "unwritableplaces.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

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

TEST(DataSheet, LoggedReadingsFollowTheCommentsAfterAnEmptyLine)
{
    RunChartRecord record = DefaultRunChartRecord();
    // 2026-12-07 07:00:00 UTC, then 13:05:09 an hour east of it, then 1970's first second.
    record.Readings = {{1796626800, 0, "0.004"}, {1796648709 - 3600, 3600, "-0.006"}, {0, 0, "+.5"}};
    const std::string golden = readFile(QUORVALE_TEST_DATA "/golden/default-datasheet.txt");
    EXPECT_TRUE(sameBytes(DataSheetText(record),
                          golden + "\r\nReadings :\r\n2026-12-07 07:00:00\t0.004\r\n2026-12-07 13:05:09\t-0.006\r\n"
                                   "1970-01-01 00:00:00\t+.5\r\n"));

    // Comments without a final line break still leave the readings an empty line of their own.
    record.Comments = "last";
    record.Readings.resize(1);
    EXPECT_TRUE(
        DataSheetText(record).ends_with("Comments :\r\nlast\r\n\r\nReadings :\r\n2026-12-07 07:00:00\t0.004\r\n"));
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

TEST(DataSheet, CharactersOutsideWindows1252BecomeQuestionMarks)
{
    RunChartRecord record;
    record.PartNumber = "R24 \xE4\xB8\xAD";               // 中
    record.CustomerName = "Br\xC3\xA9nholt \xE2\x82\xAC"; // é €
    const std::string text = DataSheetText(record);
    EXPECT_NE(text.find("Part Number : R24 ?\r\n"), std::string::npos);
    EXPECT_NE(text.find("Customer Name : Br\xE9nholt \x80\r\n"), std::string::npos);
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

// The data sheet: its exact bytes, its place, what a failed write leaves behind, and its removal.
#include "datasheet.h"
#include "datasheetfile.h"
#include "filesizelimit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace quorvale;
namespace fs = std::filesystem;

namespace {

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// On a mismatch, names the first differing offset and shows the bytes around it.
testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const std::size_t from = at < 20 ? 0 : at - 20;
    return testing::AssertionFailure() << "first difference at offset " << at
                                       << "\n  actual:   " << testing::PrintToString(actual.substr(from, 40))
                                       << "\n  expected: " << testing::PrintToString(expected.substr(from, 40));
}

class DataSheetWrite : public testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("quorvale-datasheet-" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path m_dir;
};

} // namespace

TEST(DataSheet, DefaultRecordGivesTheThirtyLineSheet)
{
    const std::string golden = readBytes(QUORVALE_TEST_DATA "/golden/default-datasheet.txt");
    ASSERT_EQ(golden.size(), 608u);
    EXPECT_TRUE(sameBytes(DataSheetText(DefaultRunChartRecord()), golden));
}

TEST(DataSheet, LoggedReadingsFollowTheCommentsAfterAnEmptyLine)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Readings = {{7 * 60, "0.004"}, {13 * 60 + 5, "-0.006"}, {0, "+.5"}};
    const std::string golden = readBytes(QUORVALE_TEST_DATA "/golden/default-datasheet.txt");
    EXPECT_TRUE(sameBytes(DataSheetText(record),
                          golden + "\r\nReadings :\r\n7:00 AM\t0.004\r\n1:05 PM\t-0.006\r\n12:00 AM\t+.5\r\n"));

    // Comments without a final line break still leave the readings an empty line of their own.
    record.Comments = "last";
    record.Readings.resize(1);
    EXPECT_TRUE(DataSheetText(record).ends_with("Comments :\r\nlast\r\n\r\nReadings :\r\n7:00 AM\t0.004\r\n"));
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
    EXPECT_TRUE(sameBytes(readBytes(path), readBytes(QUORVALE_TEST_DATA "/golden/default-datasheet.txt")));

    ASSERT_TRUE(WriteDataSheet(RunChartRecord{}, path));
    EXPECT_TRUE(sameBytes(readBytes(path), DataSheetText(RunChartRecord{})));
}

TEST_F(DataSheetWrite, FailureGivesTheReasonAndLeavesNoFile)
{
    // A folder that is a regular file.
    std::ofstream(m_dir / "file") << "x";
    const std::string throughFile = DataSheetPath((m_dir / "file").string());
    const auto notDirectory = WriteDataSheet(DefaultRunChartRecord(), throughFile);
    ASSERT_FALSE(notDirectory);
    EXPECT_EQ(notDirectory.reason, "Not a directory");

    // A directory where the sheet should be: refused, and the directory is left alone.
    const std::string path = DataSheetPath(m_dir.string());
    fs::create_directory(path);
    const auto isDirectory = WriteDataSheet(DefaultRunChartRecord(), path);
    ASSERT_FALSE(isDirectory);
    EXPECT_EQ(isDirectory.reason, "Is a directory");
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(DataSheetDevice, FullDiskIsReportedAndTheDeviceKept)
{
    if (!fs::is_character_file("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const Result full = WriteDataSheet(DefaultRunChartRecord(), "/dev/full");
    ASSERT_FALSE(full);
    EXPECT_EQ(full.reason, "No space left on device");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
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

TEST_F(DataSheetWrite, TheOwnerRemovesWhatItWroteOnceButNotAnEmptyFile)
{
    DataSheetFile sheet(DataSheetPath(m_dir.string()));
    EXPECT_FALSE(sheet.remove()); // nothing written yet: nothing to do
    ASSERT_TRUE(sheet.write(DefaultRunChartRecord()));
    EXPECT_FALSE(sheet.remove());
    EXPECT_FALSE(fs::exists(sheet.path()));

    std::ofstream(sheet.path()) << "another program's file";
    EXPECT_FALSE(sheet.remove());
    EXPECT_TRUE(fs::exists(sheet.path()));

    // An empty file under the name is left for the next write to replace.
    fs::resize_file(sheet.path(), 0);
    ASSERT_TRUE(sheet.write(DefaultRunChartRecord()));
    fs::resize_file(sheet.path(), 0);
    EXPECT_FALSE(sheet.remove());
    EXPECT_TRUE(fs::exists(sheet.path()));
}

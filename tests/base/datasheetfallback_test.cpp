// The data sheet of a program installed where the user cannot write: it goes to the user's own
// folder when, and only when, the program's folder refuses it for want of permission.
#include "datasheet.h"
#include "datasheetfile.h"
#include "fileoverrides.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

using namespace quorvale;
namespace fs = std::filesystem;

namespace {

// Ends the child: 0 when the condition holds, else 1 after saying what went wrong.
[[noreturn]] void finish(bool holds, const std::string& what)
{
    if (!holds)
        std::cerr << what << std::endl;
    std::exit(holds ? 0 : 1);
}

class DataSheetFallback : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_program); }
    void lockProgramFolder() { fs::permissions(m_program, fs::perms(0555), fs::perm_options::replace); }

    test::TempDir m_temp;
    const fs::path m_dir = m_temp.path();
    const fs::path m_program = m_dir / "program";
    const std::string m_userFolder = (m_dir / "run" / "quorvale").string();
};

} // namespace

TEST(DataSheetUserFolder, RuntimeFolderThenCacheThenHome)
{
    EXPECT_EQ(UserDataSheetFolder("/run/user/1000", "/home/ann/.c", "/home/ann"), "/run/user/1000/quorvale");
    EXPECT_EQ(UserDataSheetFolder(nullptr, "/home/ann/.c", "/home/ann"), "/home/ann/.c/quorvale");
    EXPECT_EQ(UserDataSheetFolder(nullptr, nullptr, "/home/ann"), "/home/ann/.cache/quorvale");
    // Empty or relative values are not places.
    EXPECT_EQ(UserDataSheetFolder("", "cache", "/home/ann"), "/home/ann/.cache/quorvale");
    EXPECT_EQ(UserDataSheetFolder(nullptr, nullptr, nullptr), "");
}

TEST_F(DataSheetFallback, AnUnwritableProgramFolderSendsTheSheetToTheUserFolder)
{
    lockProgramFolder();
    EXPECT_EXIT(
        {
            test::DropFileOverrides();
            DataSheetFile sheet(DataSheetPath(m_program.string()), m_userFolder);
            const Result written = sheet.write(DefaultRunChartRecord());
            if (!written)
                finish(false, "not written: " + written.reason);
            if (sheet.path() != m_userFolder + "/tempchart.txt")
                finish(false, "written to " + sheet.path());
            if (fs::file_size(sheet.path()) != DataSheetText(DefaultRunChartRecord()).size())
                finish(false, "not the whole sheet");
            if (fs::status(m_userFolder).permissions() != fs::perms::owner_all)
                finish(false, "the user folder is open to others");
            // Later writes and the removal follow the new place.
            const bool again = bool(sheet.write(DefaultRunChartRecord()));
            finish(again && !sheet.remove() && !fs::exists(sheet.path()) && !fs::exists(DataSheetPath(m_program)),
                   "the sheet did not stay in the user folder");
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(DataSheetFallback, WithoutAUserFolderTheRefusalIsReported)
{
    lockProgramFolder();
    EXPECT_EXIT(
        {
            test::DropFileOverrides();
            DataSheetFile sheet(DataSheetPath(m_program.string()));
            const Result written = sheet.write(DefaultRunChartRecord());
            finish(!written && written.reason == "Permission denied" && sheet.path() == DataSheetPath(m_program),
                   "reason: " + written.reason + ", path: " + sheet.path());
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(DataSheetFallback, OtherFailuresAndWritableFoldersKeepTheProgramFolder)
{
    // A writable folder is used as it always was.
    DataSheetFile writable(DataSheetPath(m_program.string()), m_userFolder);
    ASSERT_TRUE(writable.write(DefaultRunChartRecord()));
    EXPECT_EQ(writable.path(), DataSheetPath(m_program.string()));

    // A failure that is not a refusal (here a file where the folder should be) is reported as it is.
    std::ofstream(m_dir / "file") << "x";
    DataSheetFile notAFolder(DataSheetPath((m_dir / "file").string()), m_userFolder);
    const Result written = notAFolder.write(DefaultRunChartRecord());
    EXPECT_FALSE(written);
    EXPECT_EQ(written.reason, "Not a directory");
    EXPECT_EQ(notAFolder.path(), DataSheetPath((m_dir / "file").string()));
    EXPECT_FALSE(fs::exists(m_userFolder));
}

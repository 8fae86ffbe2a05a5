// The data sheet's folder, chosen once: the program's where the user may write there, else the
// user's own (the runtime folder, then the cache), never through a link or into another's folder.
#include "datasheet.h"
#include "datasheetfile.h"
#include "datasheetfolder.h"
#include "fileoverrides.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

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

class DataSheetFolderChoice : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_program);
        fs::create_directories(m_runtime);
    }
    void lockProgramFolder() { fs::permissions(m_program, fs::perms(0555), fs::perm_options::replace); }
    DataSheetFolder user(const char* runtime) const { return UserDataSheetFolder(runtime, nullptr, m_home.c_str()); }
    static fs::perms permissionsOf(const fs::path& path) { return fs::symlink_status(path).permissions(); }

    test::TempDir m_temp;
    const fs::path m_dir = m_temp.path();
    const fs::path m_program = m_dir / "program";
    const fs::path m_runtime = m_dir / "run";
    const std::string m_home = (m_dir / "home").string();
    const std::string m_cacheFolder = m_home + "/.cache/quorvale";
};

} // namespace

TEST_F(DataSheetFolderChoice, RuntimeFolderThenCacheThenHome)
{
    const DataSheetFolder runtime = UserDataSheetFolder(m_runtime.c_str(), "/nowhere", "/nowhere");
    EXPECT_TRUE(runtime.usable) << runtime.usable.reason;
    EXPECT_EQ(runtime.path, (m_runtime / "quorvale").string());
    EXPECT_EQ(permissionsOf(runtime.path), fs::perms::owner_all);
    EXPECT_EQ(UserDataSheetFolder(nullptr, (m_dir / "c").c_str(), "/nowhere").path, (m_dir / "c/quorvale").string());
    // Empty or relative values are not places; the home's cache is made where missing.
    const DataSheetFolder home = UserDataSheetFolder("", "cache", m_home.c_str());
    EXPECT_TRUE(home.usable) << home.usable.reason;
    EXPECT_EQ(home.path, m_cacheFolder);
    EXPECT_EQ(UserDataSheetFolder(nullptr, nullptr, nullptr).path, "");

    // A folder of the user's own that others could open is closed to them.
    fs::permissions(runtime.path, fs::perms(0755), fs::perm_options::replace);
    EXPECT_TRUE(user(m_runtime.c_str()).usable);
    EXPECT_EQ(permissionsOf(runtime.path), fs::perms::owner_all);
}

TEST_F(DataSheetFolderChoice, ALinkPlantedForTheFolderIsNeverFollowed)
{
    fs::create_directory(m_dir / "victim");
    fs::permissions(m_dir / "victim", fs::perms(0755), fs::perm_options::replace);
    fs::create_directory_symlink(m_dir / "victim", m_runtime / "quorvale");
    const DataSheetFolder chosen = user(m_runtime.c_str());
    EXPECT_EQ(chosen.path, m_cacheFolder);
    EXPECT_TRUE(chosen.usable);
    EXPECT_EQ(permissionsOf(m_dir / "victim"), fs::perms(0755));
    EXPECT_TRUE(fs::is_empty(m_dir / "victim"));

    // Where no other folder is left, the failure names the folder tried and says why.
    std::ofstream(m_dir / "file") << "x";
    const DataSheetFolder none = UserDataSheetFolder(m_runtime.c_str(), (m_dir / "file").c_str(), nullptr);
    EXPECT_EQ(none.path, (m_dir / "file/quorvale").string());
    EXPECT_EQ(none.usable.reason, "'" + (m_dir / "file").string() + "' is not a folder of the user's own");
    const DataSheetFolder linked = UserDataSheetFolder(m_runtime.c_str(), nullptr, nullptr);
    EXPECT_EQ(linked.path, (m_runtime / "quorvale").string());
    EXPECT_EQ(linked.usable.reason, "'" + linked.path + "' is not a folder of the user's own");
}

TEST_F(DataSheetFolderChoice, ARuntimeFolderThatIsNotTheUsersToWriteGivesWayToTheCache)
{
    fs::permissions(m_runtime, fs::perms(0500), fs::perm_options::replace);
    EXPECT_EXIT(
        {
            test::DropFileOverrides();
            const DataSheetFolder chosen = user(m_runtime.c_str());
            finish(chosen.usable && chosen.path == m_cacheFolder, "chosen: " + chosen.path);
        },
        testing::ExitedWithCode(0), "");
    fs::permissions(m_runtime, fs::perms(0700), fs::perm_options::replace);

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may make a folder another user's";
    fs::create_directory(m_runtime / "quorvale");
    ASSERT_EQ(::chown((m_runtime / "quorvale").c_str(), 12345, 12345), 0);
    EXPECT_EQ(user(m_runtime.c_str()).path, m_cacheFolder);
    ASSERT_EQ(::chown(m_runtime.c_str(), 12345, 12345), 0);
    EXPECT_EQ(user(m_runtime.c_str()).path, m_cacheFolder);
}

TEST_F(DataSheetFolderChoice, AnUnwritableProgramFolderSendsTheSheetToTheUserFolder)
{
    lockProgramFolder();
    EXPECT_EXIT(
        {
            test::DropFileOverrides();
            DataSheetFile sheet(ChooseDataSheetFolder(m_program.string(), m_runtime.c_str(), nullptr, nullptr));
            const Result written = sheet.write(DefaultRunChartRecord());
            if (!written)
                finish(false, "not written: " + written.reason);
            const std::string userFolder = (m_runtime / "quorvale").string();
            if (sheet.path() != userFolder + "/tempchart.txt")
                finish(false, "written to " + sheet.path());
            if (fs::file_size(sheet.path()) != DataSheetText(DefaultRunChartRecord()).size())
                finish(false, "not the whole sheet");
            if (fs::status(userFolder).permissions() != fs::perms::owner_all)
                finish(false, "the user folder is open to others");
            // Later writes and the removal stay in the folder chosen.
            const bool again = bool(sheet.write(DefaultRunChartRecord()));
            finish(again && sheet.remove() && !fs::exists(sheet.path()) && !fs::exists(DataSheetPath(m_program)),
                   "the sheet did not stay in the user folder");
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(DataSheetFolderChoice, WithoutAUserFolderTheRefusalIsReported)
{
    lockProgramFolder();
    EXPECT_EXIT(
        {
            test::DropFileOverrides();
            DataSheetFile sheet(ChooseDataSheetFolder(m_program.string(), nullptr, nullptr, nullptr));
            const Result written = sheet.write(DefaultRunChartRecord());
            finish(!written && written.reason == "Permission denied" && sheet.path() == DataSheetPath(m_program),
                   "reason: " + written.reason + ", path: " + sheet.path());
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(DataSheetFolderChoice, OtherFailuresAndWritableFoldersKeepTheProgramFolder)
{
    // A writable folder is used as it always was.
    const DataSheetFolder writable = ChooseDataSheetFolder(m_program.string(), m_runtime.c_str(), nullptr, nullptr);
    EXPECT_TRUE(writable.usable);
    EXPECT_EQ(writable.path, m_program.string());

    // A failure that is not a refusal (here a file where the folder should be) is reported as it is.
    std::ofstream(m_dir / "file") << "x";
    DataSheetFile notAFolder(ChooseDataSheetFolder((m_dir / "file").string(), m_runtime.c_str(), nullptr, nullptr));
    const Result written = notAFolder.write(DefaultRunChartRecord());
    EXPECT_FALSE(written);
    EXPECT_EQ(written.reason, "Not a directory");
    EXPECT_EQ(notAFolder.path(), DataSheetPath((m_dir / "file").string()));
    EXPECT_FALSE(fs::exists(m_runtime / "quorvale"));
}

TEST_F(DataSheetFolderChoice, InAFolderOthersShareEachUserHasASheetOfItsOwn)
{
    // The user's own folder keeps the one name.
    const DataSheetFolder own = ChooseDataSheetFolder(m_program.string(), m_runtime.c_str(), nullptr, nullptr);
    EXPECT_FALSE(own.shared);
    EXPECT_EQ(DataSheetPathFor(own, 1000), DataSheetPath(m_program.string()));

    fs::permissions(m_program, fs::perms(0777), fs::perm_options::replace);
    const DataSheetFolder shared = ChooseDataSheetFolder(m_program.string(), m_runtime.c_str(), nullptr, nullptr);
    EXPECT_TRUE(shared.usable);
    EXPECT_TRUE(shared.shared);
    EXPECT_EQ(DataSheetPathFor(shared, 1000), (m_program / "tempchart-1000.txt").string());
    EXPECT_EQ(DataSheetPathFor(shared, 1001), (m_program / "tempchart-1001.txt").string());

    // Writing and removing this user's sheet leaves another user's as it was.
    const fs::path others = m_program / "tempchart-12345.txt";
    std::ofstream(others) << "another user's run";
    DataSheetFile sheet(shared);
    EXPECT_EQ(sheet.path(), DataSheetPathFor(shared, ::geteuid()));
    ASSERT_TRUE(sheet.write(DefaultRunChartRecord()));
    EXPECT_TRUE(sheet.remove());
    EXPECT_FALSE(fs::exists(sheet.path()));
    std::ifstream kept(others);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "another user's run");

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may make a folder another user's";
    fs::permissions(m_program, fs::perms(0755), fs::perm_options::replace);
    ASSERT_EQ(::chown(m_program.c_str(), 12345, 12345), 0);
    EXPECT_TRUE(ChooseDataSheetFolder(m_program.string(), m_runtime.c_str(), nullptr, nullptr).shared);
}

// One running copy per data sheet folder: a lock file of the user's own that nobody else can hold.
#include "instancelock.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvale;
namespace fs = std::filesystem;

namespace {

class Folder : public testing::Test {
protected:
    DataSheetFolder sheetFolder() const { return {m_dir.string(), {}}; }
    std::string lockFile() const { return (m_dir / (".tempchart-" + std::to_string(::geteuid()) + ".lock")).string(); }

    const test::TempDir m_folder;
    const fs::path m_dir = m_folder.path();
};

TEST_F(Folder, OneCopyHoldsTheFolderUntilItEnds)
{
    auto first = std::make_unique<InstanceLock>(sheetFolder());
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(first->acquire()); // already its own
    InstanceLock second(sheetFolder());
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(InstanceLock(DataSheetFolder{(m_dir / "other").string(), {}}).acquire()); // no such folder: no one's
    // A folder that could not be used holds no sheet to guard.
    EXPECT_TRUE(InstanceLock(DataSheetFolder{m_dir.string(), Result::failure("unusable")}).acquire());

    first.reset();
    EXPECT_TRUE(second.acquire());
    struct stat status {};
    ASSERT_EQ(::stat(lockFile().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600U);
}

// Anyone who may open the folder can hold a lock on it; that must not stop a copy. Nor may a
// link planted at the lock file's name be followed.
TEST_F(Folder, NobodyElseCanHoldTheLock)
{
    const int folder = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::flock(folder, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(InstanceLock(sheetFolder()).acquire());
    ::close(folder);

    fs::remove(lockFile());
    fs::create_symlink(m_dir / "elsewhere", lockFile());
    EXPECT_TRUE(InstanceLock(sheetFolder()).acquire());
    EXPECT_FALSE(fs::exists(m_dir / "elsewhere"));

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give the lock file to another user";
    fs::remove(lockFile());
    test::writeFile(lockFile(), "");
    ASSERT_EQ(::chown(lockFile().c_str(), 12345, 12345), 0);
    const int squatted = ::open(lockFile().c_str(), O_RDONLY);
    ASSERT_EQ(::flock(squatted, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(InstanceLock(sheetFolder()).acquire());
    ::close(squatted);
}

TEST_F(Folder, ACopyKilledWhileHoldingTheFolderDoesNotBlockTheNext)
{
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        InstanceLock lock(sheetFolder());
        if (lock.acquire())
            raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_TRUE(InstanceLock(sheetFolder()).acquire());
}

} // namespace

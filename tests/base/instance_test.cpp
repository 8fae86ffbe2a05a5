// One running copy per data sheet folder, and the program's folder as the system's bytes.
#include "instancelock.h"
#include "programfolder.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorvale;
namespace fs = std::filesystem;

namespace {

class Folder : public testing::Test {
protected:
    const test::TempDir m_folder;
    const fs::path m_dir = m_folder.path();
};

TEST_F(Folder, OneCopyHoldsTheFolderUntilItEnds)
{
    auto first = std::make_unique<InstanceLock>(m_dir.string());
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(first->acquire()); // already its own
    InstanceLock second(m_dir.string());
    EXPECT_FALSE(second.acquire());
    EXPECT_TRUE(InstanceLock((m_dir / "other").string()).acquire()); // no such folder: no one's

    first.reset();
    EXPECT_TRUE(second.acquire());
}

TEST_F(Folder, ACopyKilledWhileHoldingTheFolderDoesNotBlockTheNext)
{
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        InstanceLock lock(m_dir.string());
        if (lock.acquire())
            raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_TRUE(InstanceLock(m_dir.string()).acquire());
}

// A copy of this test program, run from a folder whose name is not UTF-8, writes what it found.
TEST_F(Folder, ProgramFolderKeepsBytesThatAreNotUtf8)
{
    if (const char* out = std::getenv("QUORVALE_PROGRAM_FOLDER_OUT")) {
        std::ofstream(out, std::ios::binary) << ProgramFolder().value_or("none");
        return;
    }
    const fs::path folder = m_dir / "runs-\xff\xfe";
    fs::create_directory(folder);
    const fs::path copy = folder / "instance_test";
    fs::copy_file("/proc/self/exe", copy);
    fs::permissions(copy, fs::perms::owner_exec, fs::perm_options::add);

    const std::string out = (m_dir / "found").string();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        setenv("QUORVALE_PROGRAM_FOLDER_OUT", out.c_str(), 1);
        execl(copy.c_str(), copy.c_str(), "--gtest_filter=Folder.ProgramFolderKeepsBytesThatAreNotUtf8", nullptr);
        _exit(127);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::readFile(out), folder.string());
}

} // namespace

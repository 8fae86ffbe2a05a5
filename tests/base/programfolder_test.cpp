// The program's folder as the system's bytes.
#include "programfolder.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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

// A copy of this test program, run from a folder whose name is not UTF-8, writes what it found.
TEST_F(Folder, ProgramFolderKeepsBytesThatAreNotUtf8)
{
    if (const char* out = std::getenv("QUORVALE_PROGRAM_FOLDER_OUT")) {
        std::ofstream(out, std::ios::binary) << ProgramFolder().value_or("none");
        return;
    }
    const fs::path folder = m_dir / "runs-\xff\xfe";
    fs::create_directory(folder);
    const fs::path copy = folder / "programfolder_test";
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

// The file-exists test that guards every deletion, and the deletion it guards.
#include "fileexists.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace quorvale;
namespace fs = std::filesystem;

TEST(FileExists, CountsOnlyFilesLongerThanZeroBytes)
{
    const test::TempDir folder;
    const fs::path dir = folder.path();
    fs::create_directories(dir / "folder");
    std::ofstream(dir / "empty").close();
    std::ofstream(dir / "full") << "x";

    EXPECT_TRUE(FileExists((dir / "full").string()));
    EXPECT_FALSE(FileExists((dir / "empty").string()));
    EXPECT_FALSE(FileExists((dir / "missing").string()));
    EXPECT_FALSE(FileExists((dir / "folder").string()));
    EXPECT_FALSE(FileExists((dir / "full" / "below-a-file").string()));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileExists, DeleteIfExistsRemovesOnlyWhatCounts)
{
    const test::TempDir folder;
    const fs::path dir = folder.path();
    fs::create_directories(dir / "folder" / "inside");
    std::ofstream(dir / "empty").close();
    std::ofstream(dir / "full") << "x";

    EXPECT_TRUE(DeleteIfExists((dir / "full").string()));
    EXPECT_FALSE(fs::exists(dir / "full"));
    EXPECT_TRUE(DeleteIfExists((dir / "empty").string())); // left for the next write to replace
    EXPECT_TRUE(fs::exists(dir / "empty"));
    EXPECT_TRUE(DeleteIfExists((dir / "missing").string()));
    EXPECT_TRUE(DeleteIfExists((dir / "folder").string())); // a folder is no file
    EXPECT_TRUE(fs::exists(dir / "folder" / "inside"));
}

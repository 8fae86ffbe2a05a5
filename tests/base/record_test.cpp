// The std-only pieces every subsystem shares: the file-exists test and Windows-1252 text.
#include "fileexists.h"
#include "tempdir.h"
#include "windows1252.h"

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

TEST(Windows1252, KeepsEveryCharacterOfTheCodePageAndMarksTheRest)
{
    EXPECT_EQ(encodeWindows1252("Part # : R24\tG198\r\n"), "Part # : R24\tG198\r\n");
    // clang-format off
    EXPECT_EQ(encodeWindows1252("0\xC2\xBA \xC3\xA9"), "0\xBA \xE9");                        // º é
    EXPECT_EQ(encodeWindows1252("\xE2\x82\xAC\xE2\x80\x9C\xE2\x84\xA2"), "\x80\x93\x99");    // € “ ™
    EXPECT_EQ(encodeWindows1252("\xE4\xB8\xAD\xF0\x9F\x98\x80"), "??");                     // 中 😀
    EXPECT_EQ(encodeWindows1252("a\xC2\x81" "b"), "a?b");                                   // undefined 0x81
    EXPECT_EQ(encodeWindows1252("a\xFF\xC3"), "a??");                                       // malformed UTF-8
    // clang-format on
}

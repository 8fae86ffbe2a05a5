// No program the build makes loads libraries from the folder it is started in: an empty or relative
// RUNPATH entry is read by the dynamic loader as the current folder, so a library planted there
// under one of Qt's names would be loaded. Every ELF program in the build tree is read.
#include "testfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

bool isElfProgram(const std::filesystem::directory_entry& entry)
{
    using std::filesystem::perms;
    if (!entry.is_regular_file() || (entry.status().permissions() & perms::owner_exec) == perms::none)
        return false;
    std::ifstream file(entry.path(), std::ios::binary);
    char magic[4] = {};
    file.read(magic, 4);
    return file && std::string(magic, 4) == "\x7f"
                                            "ELF";
}

// The entries of the program's RUNPATH and RPATH, as readelf shows them.
std::vector<std::string> searchPaths(const std::string& program)
{
    std::string output;
    EXPECT_EQ(quorvale::test::runCommand("readelf -d '" + program + "'", &output), 0) << output;
    std::vector<std::string> entries;
    static const std::regex line(R"(\((?:RUNPATH|RPATH)\)\s+Library r(?:un)?path: \[(.*)\])");
    for (std::sregex_iterator match(output.begin(), output.end(), line), end; match != end; ++match) {
        std::stringstream list((*match)[1].str() + ":");
        for (std::string entry; std::getline(list, entry, ':');)
            entries.push_back(entry);
    }
    return entries;
}

TEST(RunPath, NoProgramSearchesAnEmptyOrRelativeFolder)
{
    const std::filesystem::path build = std::filesystem::path(QUORVALE_BIN_DIR).parent_path();
    int programs = 0;
    for (auto entry = std::filesystem::recursive_directory_iterator(build);
         entry != std::filesystem::recursive_directory_iterator(); ++entry) {
        // CMake's own probes of the compiler are not the build's programs.
        if (entry->is_directory() && entry->path().filename() == "CMakeFiles") {
            entry.disable_recursion_pending();
            continue;
        }
        if (!isElfProgram(*entry))
            continue;
        ++programs;
        for (const std::string& folder : searchPaths(entry->path()))
            EXPECT_TRUE(folder.starts_with("/")) << entry->path() << " searches \"" << folder << "\"";
    }
    // The three programs at least, and this test.
    EXPECT_GE(programs, 4);
}

} // namespace

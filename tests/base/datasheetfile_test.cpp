// The data sheet's owner: it writes in the folder chosen at start and removes what it wrote, once,
// also when a signal ends the program.
#include "childprocess.h"
#include "datasheetfile.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace quorvale;
namespace fs = std::filesystem;

namespace {

class DataSheetOwner : public testing::Test {
protected:
    const test::TempDir m_folder;
    const fs::path m_dir = m_folder.path();
};

} // namespace

TEST_F(DataSheetOwner, TheOwnerRemovesWhatItWroteOnceButNotAnEmptyFile)
{
    DataSheetFile sheet(DataSheetFolder{m_dir.string(), {}});
    EXPECT_TRUE(sheet.remove()); // nothing written yet: nothing to do
    ASSERT_TRUE(sheet.write(DefaultRunChartRecord()));
    EXPECT_TRUE(sheet.remove());
    EXPECT_FALSE(fs::exists(sheet.path()));

    std::ofstream(sheet.path()) << "another program's file";
    EXPECT_TRUE(sheet.remove());
    EXPECT_TRUE(fs::exists(sheet.path()));

    // An empty file under the name is left for the next write to replace.
    fs::resize_file(sheet.path(), 0);
    ASSERT_TRUE(sheet.write(DefaultRunChartRecord()));
    fs::resize_file(sheet.path(), 0);
    EXPECT_TRUE(sheet.remove());
    EXPECT_TRUE(fs::exists(sheet.path()));
}

TEST_F(DataSheetOwner, ASignalThatEndsTheProgramTakesTheSheetWithIt)
{
    DataSheetFile sheet(DataSheetFolder{m_dir.string(), {}});
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = test::StartChild([&] {
            SetUpOutputSignals();
            if (sheet.write(DefaultRunChartRecord()))
                ::raise(signal);
        });
        EXPECT_TRUE(test::EndedBy(test::WaitFor(child), signal)) << signal;
        EXPECT_FALSE(fs::exists(sheet.path())) << signal;
    }
}

// A program that ends itself in order gets the first signal through a pipe and goes on, the sheet
// kept; the second ends it at once and still takes the sheet with it.
TEST_F(DataSheetOwner, AHandedOnSignalLeavesTheSheetToTheProgramAndASecondEndsItAtOnce)
{
    DataSheetFile sheet(DataSheetFolder{m_dir.string(), {}});
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t child = test::StartChild([&] {
            SetUpOutputSignals();
            int ends[2];
            if (::pipe(ends) != 0 || !sheet.write(DefaultRunChartRecord()))
                _exit(3);
            HandRemovalSignalsTo(ends[1]);
            ::raise(signal);
            unsigned char handedOn = 0;
            if (::read(ends[0], &handedOn, 1) != 1 || handedOn != signal || !fs::exists(sheet.path()))
                _exit(4);
            ::raise(signal);
            _exit(5);
        });
        EXPECT_TRUE(test::EndedBy(test::WaitFor(child), signal)) << signal;
        EXPECT_FALSE(fs::exists(sheet.path())) << signal;
    }
}

TEST_F(DataSheetOwner, AFolderThatCouldNotBeUsedFailsEveryWriteWithItsReason)
{
    DataSheetFile sheet(DataSheetFolder{m_dir.string(), Result::failure("'x' is not a folder of the user's own")});
    const Result written = sheet.write(DefaultRunChartRecord());
    EXPECT_EQ(written.reason, "'x' is not a folder of the user's own");
    EXPECT_FALSE(fs::exists(sheet.path()));
    EXPECT_TRUE(sheet.remove());
}

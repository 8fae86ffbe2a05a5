// Failures of the file system, through ConvertToPDF and through the command: each one is reported
// with the system's reason, the conversion fails and no partial PDF stays behind.
#include "filesizelimit.h"
#include "robusttest.h"
#include "unwritableplaces.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace quorvale::test {
namespace {

namespace fs = std::filesystem;

// The first existing path of the candidates, or empty.
std::string firstExisting(std::initializer_list<const char*> candidates)
{
    for (const char* path : candidates) {
        if (fs::is_regular_file(path))
            return path;
    }
    return {};
}

// Kernel attribute files that stop root too: write-only ones cannot be read, none can be deleted.
std::string unreadableFile()
{
    return firstExisting({"/sys/bus/cpu/uevent", "/sys/bus/platform/uevent", "/sys/bus/pci/uevent"});
}
std::string undeletableFile()
{
    return firstExisting({"/sys/devices/system/cpu/possible", "/sys/devices/system/cpu/present",
                          "/sys/kernel/mm/transparent_hugepage/hpage_pmd_size"});
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_input = m_folder + "/input.txt";
        writeFile(m_input, "Part Number: 4711 (B)\r\nComments: none\r\n");
    }

    // The conversion fails with one message that holds reason (is it, when exact); the command
    // exits with 1 and says the same after its name. No file is left at output unless it is
    // something that was there before (a directory, a device, a kernel file).
    void failsWith(const std::string& input, const std::string& output, const std::string& reason, bool exact = false)
    {
        SCOPED_TRACE(input + " -> " + output);
        const bool existed = fs::exists(output);
        const Result result = convertDefault(input, output);
        EXPECT_FALSE(result);
        EXPECT_NE(result.reason.find(reason), std::string::npos) << result.reason;
        if (exact) {
            EXPECT_EQ(result.reason, reason);
        }
        EXPECT_EQ(fs::exists(output), existed);

        std::string said;
        const int status = runCommand(
            std::string(QUORVALE_BIN_DIR) + "/quorvale-txt2pdf '" + input + "' '" + output + "' 2>&1", &said);
        EXPECT_EQ(status, 1);
        EXPECT_NE(said.find("quorvale-txt2pdf: "), std::string::npos) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
        if (exact) {
            EXPECT_EQ(said, "quorvale-txt2pdf: " + reason + "\n");
        }
        EXPECT_EQ(fs::exists(output), existed);
    }

    const TempDir m_dir;
    const std::string m_folder = m_dir.path();
    std::string m_input;
};

TEST_F(Faults, InputMissingOrUnreadable)
{
    failsWith(m_folder + "/gone.txt", m_folder + "/out.pdf", "File '" + m_folder + "/gone.txt' does not exist.",
              /*exact*/ true);
    failsWith(m_input + "/x.txt", m_folder + "/out.pdf", "does not exist.");
    failsWith(m_folder, m_folder + "/out.pdf", "File '" + m_folder + "' is not a regular file.");
    const std::string unreadable = unreadableFile();
    if (unreadable.empty())
        GTEST_SKIP() << "no write-only kernel file to read from";
    failsWith(unreadable, m_folder + "/out.pdf", std::strerror(EACCES));
}

// A path through a regular file, a directory in the file's place, a missing folder.
TEST_F(Faults, OutputCannotBeWritten)
{
    for (const UnwritablePlace& place : unwritablePlaces(m_folder)) {
        if (place.kind == UnwritablePlace::Kind::FullDevice)
            continue; // a device is refused before anything is written (below)
        failsWith(m_input, place.path, "Cannot open '" + place.path + "' for writing: " + place.reason,
                  /*exact*/ true);
        EXPECT_TRUE(leftAlone(place));
    }
    failsWith(m_input, m_input + "/out.pdf", std::strerror(ENOTDIR));
    fs::create_directory(m_folder + "/full.pdf");
    writeFile(m_folder + "/full.pdf/keep.txt", "keep");
    failsWith(m_input, m_folder + "/full.pdf", std::strerror(EISDIR));
    EXPECT_EQ(readFile(m_folder + "/full.pdf/keep.txt"), "keep");
}

TEST_F(Faults, OutputDeviceIsRefused)
{
    failsWith(m_input, "/dev/full", "Cannot open '/dev/full' for writing: it is a device, not a regular file");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(Faults, OlderOutputCannotBeReplaced)
{
    const std::string undeletable = undeletableFile();
    if (undeletable.empty())
        GTEST_SKIP() << "no read-only kernel file to write over";
    const std::string before = readFile(undeletable);
    // Nothing can be created beside a kernel file.
    failsWith(m_input, undeletable, "Cannot open '" + undeletable + "' for writing: ");
    EXPECT_EQ(readFile(undeletable), before);
}

TEST_F(Faults, ReadOnlyFolderStopsOtherUsers)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders; the other faults stop root too";
    fs::create_directory(m_folder + "/locked");
    fs::permissions(m_folder + "/locked", fs::perms::owner_read | fs::perms::owner_exec);
    failsWith(m_input, m_folder + "/locked/out.pdf", std::strerror(EACCES));
}

// A file-size limit (RLIMIT_FSIZE) in a child process: the conversion stops at the limit.
TEST_F(Faults, FileSizeLimitStopsTheConversion)
{
    std::string text;
    for (int line = 0; line < 20000; ++line)
        text += "A line of the data sheet that fills the document (" + std::to_string(line) + ")\r\n";
    writeFile(m_input, text);
    const std::string output = m_folder + "/limited.pdf";

    EXPECT_TRUE(HoldsUnderFileSizeLimit(100000, [&] {
        const Result converted = convertDefault(m_input, output);
        return !converted && converted.reason == "Cannot write '" + output + "': File too large";
    }));
    EXPECT_FALSE(fs::exists(output));

    // The command under the same limit, set by the shell in blocks of 512 bytes.
    std::string said;
    const int exitStatus = runCommand("ulimit -f 200; exec " + std::string(QUORVALE_BIN_DIR) + "/quorvale-txt2pdf '" +
                                          m_input + "' '" + output + "' 2>&1",
                                      &said);
    EXPECT_EQ(exitStatus, 1) << said;
    EXPECT_EQ(said, "quorvale-txt2pdf: Cannot write '" + output + "': " + std::strerror(EFBIG) + "\n");
    EXPECT_FALSE(fs::exists(output));
}

} // namespace
} // namespace quorvale::test

// Failures of the file system, through ConvertToPDF and through the command: each one is reported
// with the system's reason, the conversion fails and no partial PDF stays behind.
#include "filesizelimit.h"
#include "robusttest.h"

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

    // The conversion fails with one message that holds reason; no file is left at output
    // unless it is something that was there before (a directory, a device, a kernel file).
    void failsWith(const std::string& input, const std::string& output, const std::string& reason)
    {
        SCOPED_TRACE(input + " -> " + output);
        const bool existed = fs::exists(output);
        std::vector<std::string> messages;
        EXPECT_FALSE(convertDefault(input, output, messages));
        ASSERT_EQ(messages.size(), 1U);
        EXPECT_NE(messages.front().find(reason), std::string::npos) << messages.front();
        EXPECT_EQ(fs::exists(output), existed);

        std::string said;
        const int status = runCommand(
            std::string(QUORVALE_BIN_DIR) + "/quorvale-txt2pdf '" + input + "' '" + output + "' 2>&1", &said);
        EXPECT_NE(status, 0);
        EXPECT_NE(said.find("quorvale-txt2pdf: "), std::string::npos) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
        EXPECT_EQ(fs::exists(output), existed);
    }

    const std::string m_folder = makeTempDir();
    std::string m_input;
};

TEST_F(Faults, InputMissingOrUnreadable)
{
    failsWith(m_folder + "/gone.txt", m_folder + "/out.pdf", "File '" + m_folder + "/gone.txt' does not exist.");
    failsWith(m_input + "/x.txt", m_folder + "/out.pdf", "does not exist.");
    failsWith(m_folder, m_folder + "/out.pdf", "File '" + m_folder + "' is not a regular file.");
    const std::string unreadable = unreadableFile();
    if (unreadable.empty())
        GTEST_SKIP() << "no write-only kernel file to read from";
    failsWith(unreadable, m_folder + "/out.pdf", std::strerror(EACCES));
}

TEST_F(Faults, OutputCannotBeCreated)
{
    failsWith(m_input, m_folder + "/missing/out.pdf", std::strerror(ENOENT));
    failsWith(m_input, m_input + "/out.pdf", std::strerror(ENOTDIR));
    fs::create_directory(m_folder + "/empty.pdf");
    failsWith(m_input, m_folder + "/empty.pdf", std::strerror(EISDIR));
    fs::create_directory(m_folder + "/full.pdf");
    writeFile(m_folder + "/full.pdf/keep.txt", "keep");
    failsWith(m_input, m_folder + "/full.pdf", std::strerror(EISDIR));
    EXPECT_EQ(readFile(m_folder + "/full.pdf/keep.txt"), "keep");
}

TEST_F(Faults, OutputDeviceIsFull)
{
    failsWith(m_input, "/dev/full", std::strerror(ENOSPC));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(Faults, OlderOutputCannotBeDeleted)
{
    const std::string undeletable = undeletableFile();
    if (undeletable.empty())
        GTEST_SKIP() << "no read-only kernel file to write over";
    const std::string before = readFile(undeletable);
    failsWith(m_input, undeletable, "Cannot delete '" + undeletable + "'");
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
        std::vector<std::string> messages;
        const bool converted = convertDefault(m_input, output, messages);
        return !converted && messages.size() == 1 && messages.front().find(std::strerror(EFBIG)) != std::string::npos;
    }));
    EXPECT_FALSE(fs::exists(output));

    // The command under the same limit, set by the shell in blocks of 512 bytes.
    std::string said;
    const int exitStatus = runCommand("ulimit -f 200; exec " + std::string(QUORVALE_BIN_DIR) + "/quorvale-txt2pdf '" +
                                          m_input + "' '" + output + "' 2>&1",
                                      &said);
    EXPECT_EQ(exitStatus, 1) << said;
    EXPECT_NE(said.find(std::strerror(EFBIG)), std::string::npos) << said;
    EXPECT_FALSE(fs::exists(output));
}

} // namespace
} // namespace quorvale::test

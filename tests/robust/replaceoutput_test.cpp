// Replacing an older PDF, through ConvertToPDF and through the command: a failure leaves the older
// document, and two conversions at once leave one complete document. The replacement itself (links,
// permission bits, owners, what is not a regular file, signals) is tested in tests/base.
#include "childprocess.h"
#include "filesizelimit.h"
#include "robusttest.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quorvale::test {
namespace {

namespace fs = std::filesystem;

const std::string Command = std::string(QUORVALE_BIN_DIR) + "/quorvale-txt2pdf";
const std::string Older = "%PDF-1.2\rthe older document\r%%EOF\r";

// Starts the command on input and output, its messages silenced.
pid_t startCommand(const std::string& input, const std::string& output)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const char* argv[] = {Command.c_str(), input.c_str(), output.c_str(), nullptr};
    pid_t child = -1;
    if (posix_spawn(&child, Command.c_str(), &actions, nullptr, const_cast<char**>(argv), environ) != 0)
        child = -1;
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The document with its creation time, which comes from the clock, set to a fixed one.
std::string withFixedTime(std::string pdf)
{
    const std::string key = "/CreationDate (D:";
    if (const auto at = pdf.find(key); at != std::string::npos)
        pdf.replace(at + key.size(), 14, "20261207084837");
    return pdf;
}

class ReplaceOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeFile(m_input, "Part Number: 4711 (B)\r\nComments: none\r\n");
        writeFile(m_output, Older);
        ::chmod(m_output.c_str(), 0604);
    }
    // A data sheet of lines bytes, long enough for a conversion to be caught halfway.
    static std::string longSheet(std::size_t bytes, char mark)
    {
        const std::string line = std::string("A line of the data sheet that fills the document ") + mark + "\r\n";
        std::string sheet;
        sheet.reserve(bytes + line.size());
        while (sheet.size() < bytes)
            sheet += line;
        return sheet;
    }
    // The older document is still in place, with its permission bits, and nothing else came.
    void olderOutputIsIntact()
    {
        EXPECT_EQ(readFile(m_output), Older);
        EXPECT_EQ(fs::status(m_output).permissions(), fs::perms(0604));
        EXPECT_EQ(namesIn(m_folder), (std::set<std::string>{"input.txt", "out.pdf"}));
    }

    const TempDir m_dir;
    const std::string m_folder = m_dir.path();
    const std::string m_input = m_folder + "/input.txt";
    const std::string m_output = m_folder + "/out.pdf";
};

TEST_F(ReplaceOutput, FailuresLeaveTheOlderOutputAsItWas)
{
    writeFile(m_input, longSheet(300000, 'x'));
    EXPECT_TRUE(HoldsUnderFileSizeLimit(100000, [&] {
        const Result converted = convertDefault(m_input, m_output);
        return !converted && converted.reason == "Cannot write '" + m_output + "': File too large";
    }));
    olderOutputIsIntact();

    std::string said;
    EXPECT_EQ(runCommand("ulimit -f 200; exec " + Command + " '" + m_input + "' '" + m_output + "' 2>&1", &said), 1);
    EXPECT_EQ(said, "quorvale-txt2pdf: Cannot write '" + m_output + "': File too large\n");
    olderOutputIsIntact();

    EXPECT_EQ(runCommand(Command + " --size 0 '" + m_input + "' '" + m_output + "' 2>&1", &said), 2);
    olderOutputIsIntact();
}

TEST_F(ReplaceOutput, TwoConversionsAtOnceLeaveOneCompleteDocument)
{
    const std::string first = m_folder + "/first.txt";
    const std::string second = m_folder + "/second.txt";
    writeFile(first, longSheet(8 << 20, '1'));
    writeFile(second, longSheet(8 << 20, '2'));
    ASSERT_EQ(runCommand(Command + " '" + first + "' '" + m_folder + "/first.pdf'"), 0);
    ASSERT_EQ(runCommand(Command + " '" + second + "' '" + m_folder + "/second.pdf'"), 0);
    const std::string firstPdf = withFixedTime(readFile(m_folder + "/first.pdf"));
    const std::string secondPdf = withFixedTime(readFile(m_folder + "/second.pdf"));

    for (int round = 0; round < 3; ++round) {
        const pid_t one = startCommand(first, m_output);
        const pid_t other = startCommand(second, m_output);
        ASSERT_NE(one, -1);
        ASSERT_NE(other, -1);
        EXPECT_EQ(WaitFor(one), 0);
        EXPECT_EQ(WaitFor(other), 0);
        const std::string result = withFixedTime(readFile(m_output));
        EXPECT_TRUE(result == firstPdf || result == secondPdf) << "neither document, " << result.size() << " bytes";
        EXPECT_EQ(fs::status(m_output).permissions(), fs::perms(0604));
        EXPECT_EQ(namesIn(m_folder).size(), 6U);
    }
}

} // namespace
} // namespace quorvale::test

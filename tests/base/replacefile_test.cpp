// Replacing a file through a temporary beside it, with either kind of temporary: the older file
// stays whole until commit, nothing is left behind, links and permission bits are kept, and files
// that are not regular files are refused.
#include "childprocess.h"
#include "fileoverrides.h"
#include "replacefile.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace quorvale {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

class Replacing : public ::testing::TestWithParam<ReplacementFile::Temporary> {
protected:
    // Replaces target with bytes, written through the descriptor.
    void replace(const std::string& target, const std::string& bytes)
    {
        ReplacementFile file(target, GetParam());
        ASSERT_EQ(::write(file.descriptor(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        file.commit();
    }
    std::set<std::string> names() const { return test::namesIn(m_folder); }
    static mode_t modeOf(const std::string& path)
    {
        struct stat status {};
        ::stat(path.c_str(), &status);
        return status.st_mode & 07777;
    }

    const test::TempDir m_dir;
    const std::string m_folder = m_dir.path();
    const std::string m_out = m_folder + "/out.pdf";
};

TEST_P(Replacing, TheOlderFileStaysWholeUntilCommit)
{
    writeFile(m_out, "older");
    {
        ReplacementFile file(m_out, GetParam());
        ASSERT_EQ(::write(file.descriptor(), "new", 3), 3);
        EXPECT_EQ(readFile(m_out), "older");
    }
    EXPECT_EQ(names(), std::set<std::string>{"out.pdf"});
    EXPECT_EQ(readFile(m_out), "older");

    replace(m_out, "newer");
    EXPECT_EQ(readFile(m_out), "newer");
    replace(m_folder + "/fresh.pdf", "fresh");
    EXPECT_EQ(readFile(m_folder + "/fresh.pdf"), "fresh");
    EXPECT_EQ(names(), (std::set<std::string>{"fresh.pdf", "out.pdf"}));
}

TEST_P(Replacing, AnotherLibraryWritesThroughThePath)
{
    writeFile(m_out, "older");
    {
        ReplacementFile file(m_out, GetParam());
        std::FILE* stream = std::fopen(file.path().c_str(), "wb");
        ASSERT_NE(stream, nullptr);
        std::fputs("through the path", stream);
        ASSERT_EQ(std::fclose(stream), 0);
        file.commit();
    }
    EXPECT_EQ(readFile(m_out), "through the path");
    EXPECT_EQ(names(), std::set<std::string>{"out.pdf"});
}

TEST_P(Replacing, PermissionBitsAndLinksAreKept)
{
    writeFile(m_out, "older");
    ::chmod(m_out.c_str(), 0640);
    replace(m_out, "new");
    EXPECT_EQ(modeOf(m_out), 0640U);

    const mode_t mask = ::umask(022);
    replace(m_folder + "/fresh.pdf", "fresh");
    ::umask(mask);
    EXPECT_EQ(modeOf(m_folder + "/fresh.pdf"), 0644U);

    // A relative link to a link to the file, in another folder; and a link to nowhere yet.
    fs::create_directory(m_folder + "/real");
    writeFile(m_folder + "/real/target.pdf", "older");
    fs::create_symlink("target.pdf", m_folder + "/real/inner.pdf");
    fs::create_symlink("real/inner.pdf", m_folder + "/link.pdf");
    fs::create_symlink(m_folder + "/real/later.pdf", m_folder + "/dangling.pdf");
    replace(m_folder + "/link.pdf", "through links");
    replace(m_folder + "/dangling.pdf", "made");
    EXPECT_TRUE(fs::is_symlink(m_folder + "/link.pdf"));
    EXPECT_TRUE(fs::is_symlink(m_folder + "/real/inner.pdf"));
    EXPECT_EQ(readFile(m_folder + "/real/target.pdf"), "through links");
    EXPECT_TRUE(fs::is_symlink(m_folder + "/dangling.pdf"));
    EXPECT_EQ(readFile(m_folder + "/real/later.pdf"), "made");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder + "/real"), fs::directory_iterator()), 3);
}

// The reason each failure gives, and that it leaves what was there.
std::string failure(const std::string& target, ReplacementFile::Temporary kind)
{
    try {
        ReplacementFile file(target, kind);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no failure";
}

TEST_P(Replacing, WhatIsNotARegularFileIsRefused)
{
    ASSERT_EQ(::mkfifo((m_folder + "/pipe").c_str(), 0600), 0);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = m_folder + "/socket";
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    fs::create_directory(m_folder + "/folder");
    writeFile(m_folder + "/file", "x");
    fs::create_symlink("pipe", m_folder + "/to-pipe");

    const std::string pipe = m_folder + "/pipe";
    EXPECT_EQ(failure(pipe, GetParam()),
              "Cannot open '" + pipe + "' for writing: it is a named pipe, not a regular file");
    EXPECT_EQ(failure(m_folder + "/to-pipe", GetParam()),
              "Cannot open '" + m_folder + "/to-pipe' for writing: it is a named pipe, not a regular file");
    EXPECT_EQ(failure(socketPath, GetParam()),
              "Cannot open '" + socketPath + "' for writing: it is a socket, not a regular file");
    EXPECT_EQ(failure("/dev/null", GetParam()),
              "Cannot open '/dev/null' for writing: it is a device, not a regular file");
    EXPECT_EQ(failure(m_folder + "/folder", GetParam()),
              "Cannot open '" + m_folder + "/folder' for writing: Is a directory");
    EXPECT_EQ(failure(m_folder + "/file/out.pdf", GetParam()),
              "Cannot open '" + m_folder + "/file/out.pdf' for writing: Not a directory");
    EXPECT_EQ(failure(m_folder + "/missing/out.pdf", GetParam()),
              "Cannot open '" + m_folder + "/missing/out.pdf' for writing: No such file or directory");
    ::close(socket);
    EXPECT_EQ(names(), (std::set<std::string>{"file", "folder", "pipe", "socket", "to-pipe"}));
    EXPECT_TRUE(fs::is_empty(m_folder + "/folder"));
}

// The replacement keeps the older file's owner where the process may give it, and refuses an older
// file the user may not write, as opening it for writing would.
TEST_P(Replacing, TheOlderOwnerStaysAndAFileTheUserMayNotWriteIsRefused)
{
    writeFile(m_out, "older");
    ::chmod(m_out.c_str(), 0444);
    const pid_t child = test::StartChild([&] {
        test::DropFileOverrides();
        _exit(failure(m_out, GetParam()) == "Cannot open '" + m_out + "' for writing: Permission denied" ? 0 : 1);
    });
    EXPECT_EQ(test::WaitFor(child), 0);
    EXPECT_EQ(readFile(m_out), "older");
    EXPECT_EQ(names(), std::set<std::string>{"out.pdf"});

    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    ::chmod(m_out.c_str(), 0640);
    ASSERT_EQ(::chown(m_out.c_str(), 12345, 23456), 0);
    replace(m_out, "newer");
    struct stat status {};
    ASSERT_EQ(::stat(m_out.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 12345U);
    EXPECT_EQ(status.st_gid, 23456U);
    EXPECT_EQ(status.st_mode & 07777, 0640U);
    EXPECT_EQ(readFile(m_out), "newer");
}

// A child that is writing a replacement when the signal comes: it ends by that signal. Even
// SIGKILL, which no handler sees, leaves nothing where the temporary has no name.
TEST_P(Replacing, ASignalEndsTheProgramAndRemovesTheTemporary)
{
    writeFile(m_out, "older");
    std::vector<int> signals = {SIGINT, SIGTERM, SIGHUP};
    if (GetParam() == ReplacementFile::Temporary::Unnamed)
        signals.push_back(SIGKILL);
    for (const int signal : signals) {
        SCOPED_TRACE(signal);
        const pid_t child = test::StartChild([&] {
            SetUpOutputSignals();
            ReplacementFile file(m_out, GetParam());
            if (::write(file.descriptor(), "part", 4) == 4)
                ::raise(signal);
        });
        ASSERT_NE(child, -1);
        EXPECT_TRUE(test::EndedBy(test::WaitFor(child), signal));
        EXPECT_EQ(names(), std::set<std::string>{"out.pdf"});
        EXPECT_EQ(readFile(m_out), "older");
    }
}

INSTANTIATE_TEST_SUITE_P(Temporaries, Replacing,
                         ::testing::Values(ReplacementFile::Temporary::Unnamed, ReplacementFile::Temporary::Named),
                         [](const auto& info) {
                             return info.param == ReplacementFile::Temporary::Unnamed ? "Unnamed" : "Named";
                         });

TEST(SetUpOutputSignals, ASignalIgnoredFromTheStartStaysIgnored)
{
    const pid_t child = test::StartChild([] {
        std::signal(SIGHUP, SIG_IGN);
        SetUpOutputSignals();
        ::raise(SIGHUP);
    });
    ASSERT_NE(child, -1);
    EXPECT_EQ(test::WaitFor(child), 0);
}

} // namespace
} // namespace quorvale

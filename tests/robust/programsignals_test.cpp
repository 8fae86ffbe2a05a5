// Both programs, running, catch the signals that remove their pending files: a call to set them
// up lost from either program's start is caught here. The program also takes Qt's own options.
#include "childprocess.h"
#include "tempdir.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <thread>

extern char** environ;

namespace quorvale::test {
namespace {

using namespace std::chrono_literals;

// The signals the process catches, from the SigCgt line of its status.
unsigned long long caughtSignals(pid_t process)
{
    const std::string status = readFile("/proc/" + std::to_string(process) + "/status");
    const auto line = status.find("\nSigCgt:\t");
    return line == std::string::npos ? 0 : std::stoull(status.substr(line + 9, 16), nullptr, 16);
}

// Starts program with arguments, standard input from the pipe's reading end and no output; waits
// until it catches SIGINT, SIGTERM and SIGHUP, then ends it with SIGTERM. True when it caught them
// and was still running to be ended by the signal.
bool catchesTheRemovalSignals(const std::vector<std::string>& arguments, int input,
                              const std::vector<std::string>& environment = {})
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    for (char** variable = environ; *variable; ++variable)
        envp.push_back(*variable); // after the test's own: the first of a name counts
    envp.push_back(nullptr);
    pid_t child = -1;
    const bool started = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started)
        return false;
    const unsigned long long wanted = 1ULL << (SIGINT - 1) | 1ULL << (SIGTERM - 1) | 1ULL << (SIGHUP - 1);
    bool caught = false;
    for (auto waited = 0ms; !caught && waited < 20s && waitpid(child, nullptr, WNOHANG) == 0; waited += 10ms) {
        caught = (caughtSignals(child) & wanted) == wanted;
        std::this_thread::sleep_for(10ms);
    }
    ::kill(child, SIGTERM);
    return EndedBy(WaitFor(child), SIGTERM) && caught;
}

TEST(ProgramSignals, TheCommandAndTheProgramCatchTheRemovalSignals)
{
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    // The command waits for the rest of its standard input.
    EXPECT_TRUE(catchesTheRemovalSignals({QUORVALE_BIN_DIR "/quorvale-txt2pdf", "-", "-"}, pipe[0]));

    // A copy of the program in a folder of its own keeps its data sheet and lock there, Qt its
    // runtime files and the runs their database.
    const TempDir folder;
    const std::string program = folder.path() + "/quorvale";
    std::filesystem::copy_file(QUORVALE_BIN_DIR "/quorvale", program);
    std::filesystem::create_directory(folder.path() + "/run");
    std::filesystem::permissions(folder.path() + "/run", std::filesystem::perms::owner_all);
    EXPECT_TRUE(catchesTheRemovalSignals(
        {program, "-platform", "offscreen"}, pipe[0],
        {"XDG_RUNTIME_DIR=" + folder.path() + "/run", "XDG_DATA_HOME=" + folder.path() + "/data"}));
    ::close(pipe[0]);
    ::close(pipe[1]);
}

} // namespace
} // namespace quorvale::test

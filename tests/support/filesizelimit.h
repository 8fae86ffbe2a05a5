// Runs a check in a child process whose writes stop at a file-size limit, which stops root too.
#pragma once

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvale::test {

// True when check() returned true in the child; writes past the limit fail there with EFBIG.
inline bool HoldsUnderFileSizeLimit(rlim_t bytes, const std::function<bool()>& check)
{
    const pid_t child = fork();
    if (child == -1) {
        ADD_FAILURE() << "fork failed";
        return false;
    }
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace quorvale::test

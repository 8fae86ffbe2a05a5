// Child processes for tests that end a program halfway: start one, wait for it, tell how it ended.
#pragma once

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvale::test {

// Runs body in a child process that ends when body returns; -1 when no child could be made.
inline pid_t StartChild(const std::function<void()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        body();
        _exit(0);
    }
    return child;
}

// The child's wait status, or -1.
inline int WaitFor(pid_t child)
{
    int status = 0;
    return waitpid(child, &status, 0) == child ? status : -1;
}

inline bool EndedBy(int status, int signal)
{
    return status != -1 && WIFSIGNALED(status) && WTERMSIG(status) == signal;
}

} // namespace quorvale::test

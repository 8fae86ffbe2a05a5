#include "replacefile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace quorvale {

namespace {

namespace fs = std::filesystem;

// The one temporary file that has a name, for the signal handler to remove.
std::atomic<const char*> g_pending{nullptr};
static_assert(std::atomic<const char*>::is_always_lock_free, "read by a signal handler");

void removePendingAndEnd(int signal)
{
    if (const char* pending = g_pending.load())
        ::unlink(pending);
    // SA_RESETHAND has put the default action back: the program ends as the signal meant it to.
    ::raise(signal);
}

// Holds back the signals that remove the pending file while its name is being given or taken,
// so the handler never removes a name that is not (or no longer) ours.
class SignalsHeld {
public:
    SignalsHeld()
    {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&held, signal);
        pthread_sigmask(SIG_BLOCK, &held, &m_previous);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t m_previous{};
};

[[noreturn]] void fail(int error, const std::string& what)
{
    throw std::system_error(error, std::generic_category(), what);
}

// Follows symbolic links to the file that finally receives the content; a link to nowhere names
// the file to create. A loop is left for stat() to report.
std::string resolveLinks(const std::string& target)
{
    fs::path path = target;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        const fs::path link = fs::read_symlink(path, error);
        if (error)
            return path.string();
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path.string();
}

std::string whatItIs(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a named pipe";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    return "something else";
}

std::string folderOf(const std::string& path)
{
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

std::string procPath(int file)
{
    return "/proc/self/fd/" + std::to_string(file);
}

} // namespace

ReplacementFile::ReplacementFile(const std::string& target, Temporary kind)
    : m_target(target), m_resolved(resolveLinks(target))
{
    const std::string cannotOpen = "Cannot open '" + m_target + "' for writing";
    struct stat older {};
    if (::stat(m_resolved.c_str(), &older) == 0) {
        if (S_ISDIR(older.st_mode))
            fail(EISDIR, cannotOpen);
        // Opening a named pipe for writing would wait for a reader, perhaps for ever.
        if (!S_ISREG(older.st_mode))
            throw std::runtime_error(cannotOpen + ": it is " + whatItIs(older.st_mode) + ", not a regular file");
        m_keepMode = true;
        m_olderMode = older.st_mode & 07777;
    } else if (errno != ENOENT) {
        fail(errno, cannotOpen);
    }

    // O_TMPFILE needs /proc to give the file its name at the end.
    if (kind == Temporary::Unnamed && ::access("/proc/self/fd", X_OK) == 0) {
        m_file = ::open(folderOf(m_resolved).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_file < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            fail(errno, cannotOpen);
    }
    if (m_file < 0) {
        takeName(cannotOpen, [this](const char* name) {
            m_file = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return m_file < 0 ? -1 : 0;
        });
    }
    if (m_keepMode && ::fchmod(m_file, m_olderMode) != 0) {
        const int error = errno;
        remove();
        fail(error, cannotOpen);
    }
}

ReplacementFile::~ReplacementFile()
{
    remove();
}

std::string ReplacementFile::path() const
{
    return m_temporary.empty() ? procPath(m_file) : m_temporary;
}

void ReplacementFile::commit()
{
    const std::string cannotWrite = "Cannot write '" + m_target + "'";
    if (::fsync(m_file) != 0)
        fail(errno, cannotWrite);
    if (m_temporary.empty()) {
        const std::string self = procPath(m_file);
        takeName(cannotWrite, [&self](const char* name) {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW);
        });
    }
    if (::close(std::exchange(m_file, -1)) != 0)
        fail(errno, cannotWrite);

    const SignalsHeld held;
    if (::rename(m_temporary.c_str(), m_resolved.c_str()) != 0)
        fail(errno, "Cannot replace '" + m_target + "'");
    release();
}

void ReplacementFile::takeName(const std::string& failure, const std::function<int(const char*)>& create)
{
    static std::atomic<unsigned> s_count{0};
    // A hidden name of its own beside the target, short enough for any file system.
    const std::string folder = folderOf(m_resolved);
    const std::string prefix = folder + "/." + fs::path(m_resolved).filename().string().substr(0, 200) + "." +
                               std::to_string(::getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix + std::to_string(s_count++) + ".tmp";
        const SignalsHeld held;
        if (create(name.c_str()) == 0) {
            m_temporary = std::move(name);
            g_pending = m_temporary.c_str();
            return;
        }
        if (errno != EEXIST)
            fail(errno, failure);
    }
    fail(EEXIST, failure);
}

void ReplacementFile::release() noexcept
{
    const char* ours = m_temporary.c_str();
    g_pending.compare_exchange_strong(ours, nullptr);
    m_temporary.clear();
}

void ReplacementFile::remove() noexcept
{
    if (m_file >= 0)
        ::close(std::exchange(m_file, -1));
    if (!m_temporary.empty()) {
        const SignalsHeld held;
        ::unlink(m_temporary.c_str());
        release();
    }
}

void RemoveTemporaryOnSignals()
{
    struct sigaction action {};
    action.sa_handler = removePendingAndEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal ignored from the start (nohup, a background job) stays ignored.
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &action, nullptr);
    }
}

} // namespace quorvale

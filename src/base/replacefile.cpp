#include "replacefile.h"

#include "removeonsignal.h"
#include "result.h"

#include <atomic>
#include <cerrno>
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
            ThrowSystemError(EISDIR, cannotOpen);
        // Opening a named pipe for writing would wait for a reader, perhaps for ever.
        if (!S_ISREG(older.st_mode))
            throw std::runtime_error(cannotOpen + ": it is " + whatItIs(older.st_mode) + ", not a regular file");
        // Replacing is no licence to write what the user could not open for writing.
        if (::faccessat(AT_FDCWD, m_resolved.c_str(), W_OK, AT_EACCESS) != 0)
            ThrowSystemError(errno, cannotOpen);
        m_keepOlder = true;
        m_older = older;
    } else if (errno != ENOENT) {
        ThrowSystemError(errno, cannotOpen);
    }

    // O_TMPFILE needs /proc to give the file its name at the end.
    if (kind == Temporary::Unnamed && ::access("/proc/self/fd", X_OK) == 0) {
        m_file = ::open(folderOf(m_resolved).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_file < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            ThrowSystemError(errno, cannotOpen);
    }
    if (m_file < 0) {
        takeName(cannotOpen, [this](const char* name) {
            m_file = ::open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            return m_file < 0 ? -1 : 0;
        });
    }
    if (m_keepOlder)
        keepOwnerAndMode(cannotOpen);
}

void ReplacementFile::keepOwnerAndMode(const std::string& failure)
{
    // Owner and group as far as the process may give them (root all, a user a group of theirs):
    // a user's file replaced by root stays the user's. Before the mode, which a change of owner
    // may clear.
    if (::fchown(m_file, m_older.st_uid, m_older.st_gid) != 0)
        (void)::fchown(m_file, static_cast<uid_t>(-1), m_older.st_gid);
    if (::fchmod(m_file, m_older.st_mode & 07777) != 0) {
        const int error = errno;
        remove();
        ThrowSystemError(error, failure);
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
        ThrowSystemError(errno, cannotWrite);
    if (m_temporary.empty()) {
        const std::string self = procPath(m_file);
        takeName(cannotWrite, [&self](const char* name) {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name, AT_SYMLINK_FOLLOW);
        });
    }
    if (::close(std::exchange(m_file, -1)) != 0)
        ThrowSystemError(errno, cannotWrite);

    const RemovalSignalsHeld held;
    if (::rename(m_temporary.c_str(), m_resolved.c_str()) != 0)
        ThrowSystemError(errno, "Cannot replace '" + m_target + "'");
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
        const RemovalSignalsHeld held;
        if (create(name.c_str()) == 0) {
            m_temporary = std::move(name);
            m_removedOnSignal.set(m_temporary);
            return;
        }
        if (errno != EEXIST)
            ThrowSystemError(errno, failure);
    }
    ThrowSystemError(EEXIST, failure);
}

void ReplacementFile::release() noexcept
{
    m_removedOnSignal.clear();
    m_temporary.clear();
}

void ReplacementFile::remove() noexcept
{
    if (m_file >= 0)
        ::close(std::exchange(m_file, -1));
    if (!m_temporary.empty()) {
        const RemovalSignalsHeld held;
        ::unlink(m_temporary.c_str());
        release();
    }
}

} // namespace quorvale

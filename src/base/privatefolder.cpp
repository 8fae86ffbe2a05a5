#include "privatefolder.h"

#include "writeall.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

Result notTheUsers(const std::string& place, const char* what)
{
    return Result::failure("'" + place + "' is not " + what + " of the user's own");
}

// Closes the descriptor whatever the caller returns.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

Result MakePrivateFolder(const std::string& parent, const std::string& folder)
{
    struct stat status {};
    if (::stat(parent.c_str(), &status) != 0)
        return Result::failure(errno, "'" + parent + "'");
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return notTheUsers(parent, "a folder");
    if (::access(parent.c_str(), W_OK) != 0)
        return Result::failure(errno, "'" + parent + "'");
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Result::failure(errno, "'" + folder + "'");
    // O_NOFOLLOW: a symbolic link planted in the folder's place is refused, never followed.
    const Descriptor opened{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
    if (opened.fd < 0)
        return errno == ELOOP || errno == ENOTDIR ? notTheUsers(folder, "a folder")
                                                  : Result::failure(errno, "'" + folder + "'");
    if (::fstat(opened.fd, &status) != 0)
        return Result::failure(errno, "'" + folder + "'");
    if (status.st_uid != ::geteuid())
        return notTheUsers(folder, "a folder");
    if ((status.st_mode & 07777) != 0700 && ::fchmod(opened.fd, 0700) != 0)
        return Result::failure(errno, "'" + folder + "'");
    return {};
}

Result MakePrivateFile(const std::string& path)
{
    const Descriptor file{
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, S_IRUSR | S_IWUSR)};
    if (file.fd < 0)
        return errno == ELOOP ? notTheUsers(path, "a file") : Result::failure(errno, "'" + path + "'");
    struct stat status {};
    if (::fstat(file.fd, &status) != 0)
        return Result::failure(errno, "'" + path + "'");
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
        return notTheUsers(path, "a file");
    if ((status.st_mode & 07777) != 0600 && ::fchmod(file.fd, 0600) != 0)
        return Result::failure(errno, "'" + path + "'");
    return {};
}

Result ReadPrivateFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return errno == ELOOP ? notTheUsers(path, "a file") : Result::failure(errno, "'" + path + "'");
    struct stat status {};
    if (::fstat(file.fd, &status) != 0)
        return Result::failure(errno, "'" + path + "'");
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid())
        return notTheUsers(path, "a file");
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got == 0)
            return {};
        if (got < 0 && errno != EINTR)
            return Result::failure(errno, "'" + path + "'");
        if (got > 0)
            bytes.append(buffer, std::size_t(got));
    }
}

Result WritePrivateFile(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".new-" + std::to_string(::getpid());
    ::unlink(temporary.c_str()); // one left by a killed process of this id
    Result result;
    {
        const Descriptor file{
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR)};
        if (file.fd < 0)
            return Result::failure(errno, "'" + temporary + "'");
        if (const int error = WriteAll(file.fd, bytes); error != 0)
            result = Result::failure(error, "'" + path + "'");
        else if (::fsync(file.fd) != 0)
            result = Result::failure(errno, "'" + path + "'");
    }
    if (result && ::rename(temporary.c_str(), path.c_str()) != 0)
        result = Result::failure(errno, "'" + path + "'");
    if (!result)
        ::unlink(temporary.c_str());
    return result;
}

} // namespace quorvale

#include "instancelock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

InstanceLock::InstanceLock(const DataSheetFolder& folder)
{
    if (folder.usable)
        m_file = folder.path + "/.tempchart-" + std::to_string(::geteuid()) + ".lock";
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::acquire()
{
    if (m_fd >= 0 || m_file.empty())
        return true;
    const int fd = ::open(m_file.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;
    struct stat status {};
    const bool usersAlone = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
                            (status.st_mode & 077) == 0;
    int locked = 0;
    if (usersAlone) {
        do
            locked = ::flock(fd, LOCK_EX | LOCK_NB);
        while (locked != 0 && errno == EINTR);
    }
    if (!usersAlone || locked != 0) {
        const bool held = usersAlone && errno == EWOULDBLOCK;
        ::close(fd);
        return !held;
    }
    m_fd = fd;
    return true;
}

} // namespace quorvale

#include "gaugeportlock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quorvale {

bool GaugePortLock::take(const std::string& path)
{
    release();
    // Opening a terminal another program uses changes nothing of it; only the last close hangs up.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno != EBUSY;
    int locked = 0;
    do
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void GaugePortLock::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

} // namespace quorvale

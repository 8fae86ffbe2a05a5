// The gauge's port held for this program alone: the lock serial programs take on a device before
// they use it (flock), taken before the port is opened and set up, so that a port another program
// holds is neither set up anew nor read.
#pragma once

#include <string>

namespace quorvale {

class GaugePortLock final {
public:
    GaugePortLock() = default;
    ~GaugePortLock() { release(); }
    GaugePortLock(const GaugePortLock&) = delete;
    GaugePortLock& operator=(const GaugePortLock&) = delete;

    // False when another program holds the device: its lock, or an exclusive open (TIOCEXCL). A
    // device that cannot be opened for another reason is left to the port's own open to report.
    bool take(const std::string& path);
    void release();

private:
    int m_fd = -1;
};

} // namespace quorvale

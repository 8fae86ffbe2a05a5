// One running copy per data sheet: a copy holds an exclusive lock on the data sheet's folder for
// as long as it runs. The system drops the lock when the process ends, however it ends, so a
// crashed copy never blocks the next start.
#pragma once

#include <string>
#include <utility>

namespace quorvale {

class InstanceLock final {
public:
    explicit InstanceLock(std::string folder) : m_folder(std::move(folder)) {}
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False only when another running copy holds the folder. A folder that cannot be opened is no
    // one's: writing the data sheet there will report the failure.
    bool acquire();

private:
    std::string m_folder;
    int m_fd = -1;
};

} // namespace quorvale

// One running copy per data sheet: a copy holds an exclusive lock on a file in the data sheet's
// folder for as long as it runs. The system drops the lock when the process ends, however it
// ends, so a crashed copy never blocks the next start.
#pragma once

#include "datasheetfolder.h"

#include <string>

namespace quorvale {

class InstanceLock final {
public:
    // The lock file is the user's own (".tempchart-UID.lock", mode 0600), so that in a folder
    // others share, nobody else can open it, let alone hold it. A folder that could not be used
    // has no sheet to guard.
    explicit InstanceLock(const DataSheetFolder& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False only when another running copy holds the lock. A lock file that cannot be made, or is
    // not the user's alone, guards nothing: writing the data sheet there will report a failure.
    bool acquire();

private:
    std::string m_file; // empty when there is nothing to lock
    int m_fd = -1;
};

} // namespace quorvale

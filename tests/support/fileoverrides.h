// Root writes anywhere: a check that needs the system to refuse a write runs in a child that has
// given up the capabilities that let it (the tests run as root in CI), so it holds for any user.
#pragma once

#include <cstdlib>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quorvale::test {

// Drops CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH for good; call it in a child process only.
inline void DropFileOverrides()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    syscall(SYS_capget, &header, data);
    for (const int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
        data[capability / 32].effective &= ~(1u << (capability % 32));
        data[capability / 32].permitted &= ~(1u << (capability % 32));
    }
    if (syscall(SYS_capset, &header, data) != 0)
        std::abort();
}

} // namespace quorvale::test

#include "writeall.h"

#include <cerrno>
#include <unistd.h>

namespace quorvale {

int WriteAll(int file, std::string_view bytes) noexcept
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

} // namespace quorvale

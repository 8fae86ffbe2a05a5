#include "programfolder.h"

#include <climits>
#include <unistd.h>
#include <vector>

namespace quorvale {

std::optional<std::string> ProgramFolder()
{
    // readlink does not say whether it cut the path short: grow the buffer until it fits.
    for (std::size_t size = PATH_MAX;; size *= 2) {
        std::vector<char> buffer(size);
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return std::nullopt;
        if (static_cast<std::size_t>(length) < buffer.size()) {
            const std::string path(buffer.data(), static_cast<std::size_t>(length));
            const std::size_t slash = path.rfind('/');
            if (slash == std::string::npos)
                return std::nullopt;
            // The root folder stays "/"; DataSheetPath joins as it is, and "//tempchart.txt" names the same file.
            return slash == 0 ? std::string("/") : path.substr(0, slash);
        }
    }
}

} // namespace quorvale

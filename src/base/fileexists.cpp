#include "fileexists.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace quorvale {

bool FileExists(const std::string& path) noexcept
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

Result DeleteIfExists(const std::string& path)
{
    if (FileExists(path) && ::unlink(path.c_str()) != 0)
        return Result::failure(errno);
    return {};
}

} // namespace quorvale

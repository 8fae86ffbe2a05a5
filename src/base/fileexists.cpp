#include "fileexists.h"

#include <filesystem>
#include <system_error>

namespace quorvale {

bool FileExists(const std::string& path) noexcept
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    const auto size = std::filesystem::file_size(path, error);
    return !error && size > 0;
}

std::error_code DeleteIfExists(const std::string& path) noexcept
{
    std::error_code error;
    if (FileExists(path))
        std::filesystem::remove(path, error);
    return error;
}

} // namespace quorvale

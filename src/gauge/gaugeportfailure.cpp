#include "gaugeportfailure.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

std::string groupOf(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return "dialout";
    if (const group* owner = ::getgrgid(status.st_gid))
        return owner->gr_name;
    return std::to_string(status.st_gid);
}

} // namespace

std::string GaugeOpenFailure(const std::string& path)
{
    if (::access(path.c_str(), R_OK | W_OK) == 0)
        return {};
    switch (errno) {
    case ENOENT:
    case ENOTDIR:
        return "there is no such device (is the gauge plugged in?)";
    case EACCES:
    case EPERM: {
        const std::string group = groupOf(path);
        return "permission denied (join the group \"" + group + "\": sudo usermod -aG " + group +
               " $USER, then log in again)";
    }
    default:
        return std::strerror(errno);
    }
}

} // namespace quorvale

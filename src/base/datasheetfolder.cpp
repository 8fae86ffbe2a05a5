#include "datasheetfolder.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

bool absolute(const char* value)
{
    return value && value[0] == '/';
}

// Failures that say the place is not the user's to write, as in a program installed for everyone.
bool refusesThePlace(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

Result notTheUsers(const std::string& folder)
{
    return Result::failure("'" + folder + "' is not a folder of the user's own");
}

// Makes folder in parent where missing and checks that it is the user's alone. The parent must be
// the user's, so that nobody else can put another folder or a link in its place afterwards.
Result privateFolder(const std::string& parent, const std::string& folder)
{
    struct stat status {};
    if (::stat(parent.c_str(), &status) != 0)
        return Result::failure(errno, "'" + parent + "'");
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return notTheUsers(parent);
    if (::access(parent.c_str(), W_OK) != 0)
        return Result::failure(errno, "'" + parent + "'");
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return Result::failure(errno, "'" + folder + "'");
    // O_NOFOLLOW: a symbolic link planted in the folder's place is refused, never followed.
    const int opened = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (opened < 0)
        return errno == ELOOP || errno == ENOTDIR ? notTheUsers(folder) : Result::failure(errno, "'" + folder + "'");
    Result result;
    if (::fstat(opened, &status) != 0)
        result = Result::failure(errno, "'" + folder + "'");
    else if (status.st_uid != ::geteuid())
        result = notTheUsers(folder);
    else if ((status.st_mode & 07777) != 0700 && ::fchmod(opened, 0700) != 0)
        result = Result::failure(errno, "'" + folder + "'");
    ::close(opened);
    return result;
}

} // namespace

DataSheetFolder ChooseDataSheetFolder(const std::string& programFolder, const char* runtimeDir, const char* cacheHome,
                                      const char* home)
{
    if (::access(programFolder.c_str(), W_OK) == 0)
        return {programFolder, {}};
    const int refusal = errno;
    if (!refusesThePlace(refusal))
        return {programFolder, Result::failure(refusal)};
    DataSheetFolder user = UserDataSheetFolder(runtimeDir, cacheHome, home);
    if (user.path.empty())
        return {programFolder, Result::failure(refusal)};
    return user;
}

DataSheetFolder UserDataSheetFolder(const char* runtimeDir, const char* cacheHome, const char* home)
{
    DataSheetFolder tried;
    if (absolute(runtimeDir)) {
        tried.path = std::string(runtimeDir) + "/quorvale";
        tried.usable = privateFolder(runtimeDir, tried.path);
        if (tried.usable)
            return tried;
    }
    const std::string cache = absolute(cacheHome) ? std::string(cacheHome)
                              : absolute(home)    ? std::string(home) + "/.cache"
                                                  : std::string();
    if (cache.empty())
        return tried;
    std::error_code ignored; // a cache folder that cannot be made is reported below
    std::filesystem::create_directories(cache, ignored);
    tried.path = cache + "/quorvale";
    tried.usable = privateFolder(cache, tried.path);
    return tried;
}

} // namespace quorvale

#include "datasheetfolder.h"

#include "datasheet.h"
#include "privatefolder.h"

#include <cerrno>
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

bool othersMayWrite(const std::string& folder)
{
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 &&
           (status.st_uid != ::geteuid() || (status.st_mode & (S_IWGRP | S_IWOTH)) != 0);
}

} // namespace

DataSheetFolder ChooseDataSheetFolder(const std::string& programFolder, const char* runtimeDir, const char* cacheHome,
                                      const char* home)
{
    if (::access(programFolder.c_str(), W_OK) == 0) {
        DataSheetFolder program;
        program.path = programFolder;
        program.shared = othersMayWrite(programFolder);
        return program;
    }
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
        tried.usable = MakePrivateFolder(runtimeDir, tried.path);
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
    tried.usable = MakePrivateFolder(cache, tried.path);
    return tried;
}

std::string DataSheetPathFor(const DataSheetFolder& folder, unsigned user)
{
    return folder.shared ? folder.path + "/tempchart-" + std::to_string(user) + ".txt" : DataSheetPath(folder.path);
}

} // namespace quorvale

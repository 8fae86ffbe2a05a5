#include "unwritableplaces.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace quorvale::test {

namespace fs = std::filesystem;

std::vector<UnwritablePlace> unwritablePlaces(const std::string& folder)
{
    std::ofstream(folder + "/plain") << "a regular file";
    fs::create_directory(folder + "/taken");
    using Kind = UnwritablePlace::Kind;
    std::vector<UnwritablePlace> places = {
        {Kind::ThroughFile, folder + "/plain/out", std::strerror(ENOTDIR)},
        {Kind::Directory, folder + "/taken", std::strerror(EISDIR)},
        {Kind::MissingFolder, folder + "/missing/out", std::strerror(ENOENT)},
    };
    if (fs::is_character_file("/dev/full"))
        places.push_back({Kind::FullDevice, "/dev/full", std::strerror(ENOSPC)});
    return places;
}

::testing::AssertionResult leftAlone(const UnwritablePlace& place)
{
    std::error_code error;
    bool asItWas = !fs::exists(place.path, error);
    if (place.kind == UnwritablePlace::Kind::Directory)
        asItWas = fs::is_directory(place.path, error) && fs::is_empty(place.path, error);
    else if (place.kind == UnwritablePlace::Kind::FullDevice)
        asItWas = fs::is_character_file(place.path, error);
    if (asItWas)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << place.path << " was changed";
}

} // namespace quorvale::test

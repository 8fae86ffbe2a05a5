#include "datasheetfile.h"

#include "datasheet.h"
#include "fileexists.h"

#include <filesystem>

namespace quorvale {

namespace {

// Failures that say the place is not the user's to write, as in a program installed for everyone.
bool refusesThePlace(const std::error_code& error)
{
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
           error == std::errc::read_only_file_system;
}

} // namespace

std::string UserDataSheetFolder(const char* runtimeDir, const char* cacheHome, const char* home)
{
    // The variables name absolute paths or are to be ignored.
    const auto usable = [](const char* value) { return value && value[0] == '/'; };
    if (usable(runtimeDir))
        return std::string(runtimeDir) + "/quorvale";
    if (usable(cacheHome))
        return std::string(cacheHome) + "/quorvale";
    if (usable(home))
        return std::string(home) + "/.cache/quorvale";
    return {};
}

bool MakePrivateFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    // The sheet holds the user's record: only the user may look into its folder.
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    return !error;
}

Result DataSheetFile::write(const RunChartRecord& record)
{
    Result result = WriteDataSheet(record, m_path);
    if (!result && refusesThePlace(result.error) && moveToUserFolder())
        result = WriteDataSheet(record, m_path);
    // A failed write leaves no file, yet an earlier sheet may have been there: removal stays armed.
    m_written = m_written || result.ok;
    return result;
}

bool DataSheetFile::moveToUserFolder()
{
    if (m_userFolder.empty() || !MakePrivateFolder(m_userFolder))
        return false;
    m_path = DataSheetPath(m_userFolder);
    m_userFolder.clear();
    return true;
}

std::error_code DataSheetFile::remove()
{
    if (!m_written)
        return {};
    m_written = false;
    return DeleteIfExists(m_path);
}

} // namespace quorvale

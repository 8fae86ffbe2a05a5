// The one owner of the data sheet's file: where it is, writing it from the record, and removing
// what was written, once, when the wizard lets go of it.
#pragma once

#include "result.h"
#include "runchartrecord.h"

#include <string>
#include <system_error>

namespace quorvale {

// The user's own folder for the data sheet of a program whose folder the user cannot write to:
// $XDG_RUNTIME_DIR/quorvale, else $XDG_CACHE_HOME/quorvale, else $HOME/.cache/quorvale. Empty
// when none is known. The arguments are the variables' values, null when unset.
std::string UserDataSheetFolder(const char* runtimeDir, const char* cacheHome, const char* home);

// Makes the folder (and its parents) where missing and closes it to everyone but the user.
bool MakePrivateFolder(const std::string& folder);

class DataSheetFile {
public:
    // The sheet goes to path; when the system refuses that place for want of permission (or a
    // read-only file system), to "tempchart.txt" in userFolder (made with mode 0700), from then on.
    explicit DataSheetFile(std::string path, std::string userFolder = {})
        : m_path(std::move(path)), m_userFolder(std::move(userFolder))
    {
    }
    DataSheetFile(const DataSheetFile&) = delete;
    DataSheetFile& operator=(const DataSheetFile&) = delete;

    const std::string& path() const { return m_path; }

    // Writes the sheet for the record, replacing any file at the path.
    Result write(const RunChartRecord& record);
    // Deletes the sheet when one was written since the last removal (a zero-byte file stays, as
    // for every older output). Returns the system's reason when the deletion failed.
    std::error_code remove();

private:
    // Moves the sheet's place to the user's folder; false when there is none or it cannot be made.
    bool moveToUserFolder();

    std::string m_path;
    std::string m_userFolder;
    bool m_written = false;
};

} // namespace quorvale

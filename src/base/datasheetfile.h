// The one owner of the data sheet's file: where it is, writing it from the record, and removing
// what was written, once, when the wizard lets go of it.
#pragma once

#include "result.h"
#include "runchartrecord.h"

#include <string>
#include <system_error>

namespace quorvale {

class DataSheetFile {
public:
    explicit DataSheetFile(std::string path) : m_path(std::move(path)) {}
    DataSheetFile(const DataSheetFile&) = delete;
    DataSheetFile& operator=(const DataSheetFile&) = delete;

    const std::string& path() const { return m_path; }

    // Writes the sheet for the record, replacing any file at the path.
    Result write(const RunChartRecord& record);
    // Deletes the sheet when one was written since the last removal (a zero-byte file stays, as
    // for every older output). Returns the system's reason when the deletion failed.
    std::error_code remove();

private:
    std::string m_path;
    bool m_written = false;
};

} // namespace quorvale

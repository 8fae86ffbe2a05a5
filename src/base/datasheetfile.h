// The one owner of the data sheet's file: where it is, writing it from the record, and removing
// what was written, once, when the wizard lets go of it or a signal ends the program.
#pragma once

#include "datasheetfolder.h"
#include "removeonsignal.h"
#include "result.h"
#include "runchartrecord.h"

#include <string>

namespace quorvale {

class DataSheetFile {
public:
    // The sheet goes to the user's name for it (DataSheetPathFor) in the folder chosen at start; a
    // folder that could not be used makes every write fail with its reason.
    explicit DataSheetFile(DataSheetFolder folder);
    DataSheetFile(const DataSheetFile&) = delete;
    DataSheetFile& operator=(const DataSheetFile&) = delete;

    const DataSheetFolder& folder() const { return m_folder; }
    const std::string& path() const { return m_path; }

    // Writes the sheet for the record, replacing any file at the path. From then until remove(),
    // SIGINT, SIGTERM and SIGHUP remove it too (see SetUpOutputSignals).
    Result write(const RunChartRecord& record);
    // Deletes the sheet when one was written since the last removal (a zero-byte file stays, as
    // for every older output).
    Result remove();

private:
    DataSheetFolder m_folder;
    std::string m_path;
    bool m_written = false;
    RemoveOnSignal m_removedOnSignal;
};

} // namespace quorvale

#include "datasheetfile.h"

#include "datasheet.h"
#include "fileexists.h"

#include <unistd.h>

namespace quorvale {

DataSheetFile::DataSheetFile(DataSheetFolder folder)
    : m_folder(std::move(folder)), m_path(DataSheetPathFor(m_folder, ::geteuid()))
{
}

Result DataSheetFile::write(const RunChartRecord& record)
{
    if (!m_folder.usable)
        return m_folder.usable;
    const Result result = WriteDataSheet(record, m_path);
    // A failed write leaves no file, yet an earlier sheet may have been there: removal stays armed.
    if (result && !m_written) {
        const RemovalSignalsHeld held;
        m_removedOnSignal.set(m_path);
    }
    m_written = m_written || result.ok;
    return result;
}

Result DataSheetFile::remove()
{
    if (!m_written)
        return {};
    m_written = false;
    const RemovalSignalsHeld held;
    m_removedOnSignal.clear();
    return DeleteIfExists(m_path);
}

} // namespace quorvale

#include "datasheetfile.h"

#include "datasheet.h"
#include "fileexists.h"

namespace quorvale {

Result DataSheetFile::write(const RunChartRecord& record)
{
    Result result = WriteDataSheet(record, m_path);
    // A failed write leaves no file, yet an earlier sheet may have been there: removal stays armed.
    m_written = m_written || result.ok;
    return result;
}

std::error_code DataSheetFile::remove()
{
    if (!m_written)
        return {};
    m_written = false;
    return DeleteIfExists(m_path);
}

} // namespace quorvale

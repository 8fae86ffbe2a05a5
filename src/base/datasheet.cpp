#include "datasheet.h"

#include "readingslist.h"
#include "windows1252.h"
#include "writeall.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

std::string DataSheetPath(const std::string& programFolder)
{
    return programFolder + "/tempchart.txt";
}

namespace {

// The record's labelled lines, UTF-8, the comments last.
std::string recordText(const RunChartRecord& r)
{
    constexpr const char* CrLf = "\r\n";
    constexpr const char* Tab = "\t";
    // One entry per write step; each ends its line except step 19, which the sheet numbering
    // follows on the same line after two TABs, as the other paired lines do.
    const std::string steps[] = {
        std::string("Data Sheet") + CrLf,
        std::string(34, '_') + CrLf,
        CrLf,
        "Part Number : " + r.PartNumber + CrLf + CrLf,
        "Customer Name : " + r.CustomerName + CrLf + CrLf,
        "Description : " + r.Description + CrLf,
        CrLf,
        "Inspector : " + r.Inspector + Tab + Tab + "Inspection Date : " + r.DateInspector + CrLf,
        "Operation Number : " + r.OperationNumber + CrLf,
        CrLf,
        "Approved By : " + r.ApprovedBy + Tab + " on : " + r.DateApprovedBy + CrLf,
        "Department : " + r.Department + CrLf + CrLf,
        "Drawing Revision : " + r.DrawingRevision + CrLf + "RunChart Revision : " + r.RunChartRevision + CrLf,
        CrLf,
        "Upper Tolerance : " + r.UpperTolerance + CrLf,
        "Lower Tolerance : " + r.LowerTolerance + CrLf,
        CrLf,
        "Frequency : " + r.Frequency + Tab + Tab + "Check : " + r.Check + CrLf + CrLf,
        "Inspection Tool : " + r.InspectionTool + Tab + Tab,
        "Sheet : " + r.Sheet + " of " + r.SheetOf + CrLf,
        CrLf,
        "Comments :" + std::string(CrLf) + r.Comments + CrLf,
    };
    std::string utf8;
    for (const std::string& step : steps)
        utf8 += step;
    return utf8;
}

} // namespace

std::string DataSheetText(const RunChartRecord& r)
{
    std::string utf8 = recordText(r);
    if (!r.Readings.empty())
        utf8 += "\r\n" + ReadingsListText(r);
    // Nothing is lost on the way to the PDF: a record that Windows-1252 cannot hold goes as UTF-8,
    // marked as such for the reader.
    return fitsWindows1252(utf8) ? encodeWindows1252(utf8) : "\xEF\xBB\xBF" + utf8;
}

SheetLines DataSheetReadingLines(const RunChartRecord& record)
{
    // The record's lines, an empty one and "Readings :" come first.
    const std::string text = recordText(record);
    return {std::count(text.begin(), text.end(), '\r') + 3, static_cast<std::int64_t>(record.Readings.size())};
}

namespace {

// Opens a fresh file at path for the sheet. Whatever the name held is unlinked first, so a symbolic
// link planted there is replaced, never written through; O_EXCL refuses one planted in between.
// A device, pipe or socket at the name is written into as it is and kept.
int openSheet(const std::string& path, bool& created)
{
    struct stat status {};
    const bool exists = ::lstat(path.c_str(), &status) == 0;
    created = !exists || S_ISREG(status.st_mode) || S_ISLNK(status.st_mode);
    if (!created) {
        if (S_ISDIR(status.st_mode)) {
            errno = EISDIR;
            return -1;
        }
        // Non-blocking, so that a pipe without a reader is refused rather than waited on.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return fd;
    }
    if (exists && ::unlink(path.c_str()) != 0)
        return -1;
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

} // namespace

Result WriteDataSheet(const RunChartRecord& record, const std::string& path)
{
    const std::string bytes = DataSheetText(record);
    bool created = false;
    const int fd = openSheet(path, created);
    if (fd < 0)
        return Result::failure(errno);

    const int writeError = WriteAll(fd, bytes);
    const int closeError = ::close(fd) == 0 ? 0 : errno;
    const int error = writeError != 0 ? writeError : closeError;
    if (error == 0)
        return {};
    // Remove the partial sheet this write made, but never a device such as /dev/full that merely refused the bytes.
    if (created)
        ::unlink(path.c_str());
    return Result::failure(error);
}

} // namespace quorvale

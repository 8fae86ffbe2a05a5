#include "datasheet.h"

#include "windows1252.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quorvale {

std::string DataSheetPath(const std::string& programFolder)
{
    return programFolder + "/tempchart.txt";
}

std::string DataSheetText(const RunChartRecord& r)
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
    if (!r.Readings.empty()) {
        utf8 += std::string(CrLf) + "Readings :" + CrLf;
        for (const Reading& reading : r.Readings)
            utf8 += TimeOfDayText(reading.minuteOfDay) + Tab + reading.value + CrLf;
    }
    return encodeWindows1252(utf8);
}

Result WriteDataSheet(const RunChartRecord& record, const std::string& path)
{
    const std::string bytes = DataSheetText(record);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return Result::failure(std::strerror(errno));

    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed)
        return {};

    const int error = writeError != 0 ? writeError : errno;
    // Remove the partial sheet, but never a device such as /dev/full that merely refused the bytes.
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored))
        std::filesystem::remove(path, ignored);
    return Result::failure(std::strerror(error != 0 ? error : EIO));
}

} // namespace quorvale

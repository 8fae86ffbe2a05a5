#include "pdfwriter.h"

#include "bytesink.h"
#include "chartpage.h"
#include "documentfonts.h"
#include "fileexists.h"
#include "linereader.h"
#include "pagelayout.h"
#include "pdfdocument.h"
#include "result.h"
#include "writeall.h"

#include <array>
#include <ctime>
#include <exception>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace quorvale {

namespace {

// Writing over the very text that is being converted would lose it.
void refuseSameFile(const std::string& filename, const std::string& outputfile)
{
    std::error_code error;
    if (std::filesystem::equivalent(filename, outputfile, error))
        throw std::invalid_argument("The PDF file '" + outputfile + "' is the text file being converted.");
}

// Standard output, written as it comes; nothing to remove after a failure.
class StandardOutputSink final : public ByteSink {
public:
    void append(std::string_view bytes) override
    {
        if (const int error = WriteAll(STDOUT_FILENO, bytes))
            ThrowSystemError(error, "Cannot write standard output");
    }
};

std::string missingInput(const std::string& filename)
{
    std::error_code ignored;
    const auto status = std::filesystem::status(filename, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return notRegularFile(filename);
    return "File '" + filename + "' does not exist.";
}

ReadingSummary writeDocument(const PdfJob& job, ByteSink& sink, const std::string& timestamp)
{
    // The text is checked ahead, so that the resources name every font it needs before the first page.
    DocumentFonts fonts(job.geometry().fontname);
    LineReader reader(job.filename(), job.reading(), &fonts);
    if (job.chart())
        useChartCharacters(*job.chart(), fonts);
    fonts.fixFonts();
    PdfDocument document(sink, job.geometry(), job.information());
    document.startpdf();
    document.writeinfo(timestamp, fonts.fontCount());
    ReadingSummary summary =
        writetext(document, job.geometry(), reader, fonts, job.reading(), job.table() ? &*job.table() : nullptr);
    if (job.chart())
        writeChartPage(document, job.geometry(), *job.chart(), fonts);
    fonts.write(document);
    document.endpdf();
    summary.fontProblems = fonts.problems();
    summary.rightToLeftScripts.assign(fonts.rightToLeftScripts().begin(), fonts.rightToLeftScripts().end());
    return summary;
}

} // namespace

PdfWriter::PdfWriter(Clock clock) : m_clock(std::move(clock)) {}

Result PdfWriter::ConvertToPDF(const PdfJob& job)
{
    m_lastReading = {};
    const std::string& filename = job.filename();
    const std::string& outputfile = job.outputfile();
    const bool fromStandardInput = job.reading().standardStreams && filename == "-";
    const bool toStandardOutput = job.reading().standardStreams && outputfile == "-";
    if (!fromStandardInput && !FileExists(filename))
        return Result::failure(missingInput(filename));
    try {
        if (toStandardOutput) {
            StandardOutputSink out;
            m_lastReading = writeDocument(job, out, m_clock());
            return {};
        }
        if (!fromStandardInput)
            refuseSameFile(filename, outputfile);
        // The older output stays as it was until the new document is complete.
        FileSink sink(outputfile);
        m_lastReading = writeDocument(job, sink, m_clock());
        sink.close();
        return {};
    } catch (const std::bad_alloc&) {
        return Result::failure("There is not enough memory to convert '" + filename + "'.");
    } catch (const std::system_error& failure) {
        return {false, failure.what(), failure.code()};
    } catch (const std::exception& failure) {
        return Result::failure(failure.what());
    }
}

std::string PdfWriter::localTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::array<char, 16> digits{};
    std::strftime(digits.data(), digits.size(), "%Y%m%d%H%M%S", &local);
    return digits.data();
}

} // namespace quorvale

#include "pdfwriter.h"

#include "bytesink.h"
#include "fileexists.h"
#include "linereader.h"
#include "pagelayout.h"
#include "pdfdocument.h"
#include "pdfwriterstate.h"
#include "result.h"
#include "writeall.h"

#include <array>
#include <ctime>
#include <exception>
#include <filesystem>
#include <new>
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

ReadingSummary writeDocument(PdfWriterState& state, ByteSink& sink, const ReadingOptions& reading,
                             const std::string& timestamp)
{
    PdfDocument document(state, sink);
    document.startpdf();
    document.writeinfo(timestamp);
    const ReadingSummary summary = writetext(document, state, reading);
    document.endpdf();
    return summary;
}

} // namespace

PdfWriter::PdfWriter(Reporter report, Clock clock) : m_report(std::move(report)), m_clock(std::move(clock)) {}

bool PdfWriter::ConvertToPDF(const std::string& filename, const std::string& outputfile, const std::string& TextAuthor,
                             const std::string& TextCreator, const std::string& TextKeywords,
                             const std::string& TextSubject, const std::string& TextTitle, const std::string& FontName,
                             std::int16_t FontSize, std::int16_t Rotation, float pwidth, float pheight,
                             const ReadingOptions& reading)
{
    m_lastReading = {};
    const bool fromStandardInput = reading.standardStreams && filename == "-";
    const bool toStandardOutput = reading.standardStreams && outputfile == "-";
    if (!fromStandardInput && !FileExists(filename)) {
        m_report(missingInput(filename));
        return false;
    }
    try {
        PdfWriterState state;
        initpdf(state, FontName, FontSize, Rotation, pwidth, pheight);
        state.author = TextAuthor;
        state.creator = TextCreator;
        state.keywords = TextKeywords;
        state.subject = TextSubject;
        state.title = TextTitle;
        state.infile = filename;
        if (toStandardOutput) {
            StandardOutputSink out;
            m_lastReading = writeDocument(state, out, reading, m_clock());
            return true;
        }
        if (!fromStandardInput)
            refuseSameFile(filename, outputfile);
        // The older output stays as it was until the new document is complete.
        FileSink sink(outputfile);
        m_lastReading = writeDocument(state, sink, reading, m_clock());
        sink.close();
        return true;
    } catch (const std::bad_alloc&) {
        m_report("There is not enough memory to convert '" + filename + "'.");
        return false;
    } catch (const std::exception& failure) {
        m_report(failure.what());
        return false;
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

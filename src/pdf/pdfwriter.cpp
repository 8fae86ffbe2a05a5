#include "pdfwriter.h"

#include "bytesink.h"
#include "fileexists.h"
#include "pagelayout.h"
#include "pdfdocument.h"
#include "pdfwriterstate.h"

#include <array>
#include <ctime>
#include <exception>
#include <filesystem>
#include <system_error>

namespace quorvale {

namespace {

// Writing over the very text that is being converted would lose it.
void refuseSameFile(const std::string& filename, const std::string& outputfile)
{
    std::error_code error;
    if (std::filesystem::equivalent(filename, outputfile, error))
        throw std::invalid_argument("The PDF file '" + outputfile + "' is the text file being converted.");
}

} // namespace

PdfWriter::PdfWriter(Reporter report, Clock clock) : m_report(std::move(report)), m_clock(std::move(clock)) {}

bool PdfWriter::ConvertToPDF(const std::string& filename, const std::string& outputfile, const std::string& TextAuthor,
                             const std::string& TextCreator, const std::string& TextKeywords,
                             const std::string& TextSubject, const std::string& TextTitle, const std::string& FontName,
                             std::int16_t FontSize, std::int16_t Rotation, float pwidth, float pheight)
{
    if (!FileExists(filename)) {
        m_report("File '" + filename + "' does not exist.");
        return false;
    }
    try {
        PdfWriterState state;
        initpdf(state, FontName, FontSize, Rotation, pwidth, pheight);
        refuseSameFile(filename, outputfile);
        // The older output stays as it was until the new document is complete.
        FileSink sink(outputfile);
        state.author = TextAuthor;
        state.creator = TextCreator;
        state.keywords = TextKeywords;
        state.subject = TextSubject;
        state.title = TextTitle;
        state.infile = filename;
        state.outfile = outputfile;

        PdfDocument document(state, sink);
        document.startpdf();
        document.writeinfo(m_clock());
        writetext(document, state);
        document.endpdf();
        sink.close();
        return true;
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

// One conversion asked of the PDF writer: the text, the PDF, the document information, the page
// set-up and the reading. A job is checked when it is made, so the writer never meets a wrong one.
#pragma once

#include "documentinformation.h"
#include "pagesetup.h"
#include "readingoptions.h"

#include <string>

namespace quorvale {

class PdfJob {
public:
    // filename and outputfile are native paths ("-" for the standard streams where reading allows it).
    // Throws std::invalid_argument with a message for the user when the page set-up leaves no room for
    // text or its font name cannot stand in a PDF.
    PdfJob(std::string filename, std::string outputfile, DocumentInformation information, const PageSetup& page,
           ReadingOptions reading = {});

    const std::string& filename() const { return m_filename; }
    const std::string& outputfile() const { return m_outputfile; }
    const DocumentInformation& information() const { return m_information; }
    const PageGeometry& geometry() const { return m_geometry; }
    const ReadingOptions& reading() const { return m_reading; }

private:
    std::string m_filename;
    std::string m_outputfile;
    DocumentInformation m_information;
    PageGeometry m_geometry;
    ReadingOptions m_reading;
};

} // namespace quorvale

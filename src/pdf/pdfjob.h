// One conversion asked of the PDF writer: the text, the PDF, the document information, the page
// set-up and the reading. A job is checked when it is made, so the writer never meets a wrong one.
#pragma once

#include "chartpage.h"
#include "documentinformation.h"
#include "pagesetup.h"
#include "readingoptions.h"
#include "readingstable.h"

#include <optional>
#include <string>

namespace quorvale {

class PdfJob {
public:
    // filename and outputfile are native paths ("-" for the standard streams where reading allows it).
    // chart, when given, is drawn on a page after the text's; table, when given, on the text's pages
    // in place of its lines. Throws std::invalid_argument with a message for the user when the page
    // set-up leaves no room for text, its font name cannot stand in a PDF, the TAB size is below 0 or
    // past ReadingOptions::MaxTabSize, the chart has no reading or a figure that is not finite, or the
    // table's lines cannot be in a text.
    PdfJob(std::string filename, std::string outputfile, DocumentInformation information, const PageSetup& page,
           ReadingOptions reading = {}, std::optional<ChartData> chart = std::nullopt,
           std::optional<ReadingsTable> table = std::nullopt);

    const std::string& filename() const { return m_filename; }
    const std::string& outputfile() const { return m_outputfile; }
    const DocumentInformation& information() const { return m_information; }
    const PageGeometry& geometry() const { return m_geometry; }
    const ReadingOptions& reading() const { return m_reading; }
    const std::optional<ChartData>& chart() const { return m_chart; }
    const std::optional<ReadingsTable>& table() const { return m_table; }

private:
    std::string m_filename;
    std::string m_outputfile;
    DocumentInformation m_information;
    PageGeometry m_geometry;
    ReadingOptions m_reading;
    std::optional<ChartData> m_chart;
    std::optional<ReadingsTable> m_table;
};

} // namespace quorvale

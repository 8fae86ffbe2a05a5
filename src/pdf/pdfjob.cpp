#include "pdfjob.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace quorvale {

PdfJob::PdfJob(std::string filename, std::string outputfile, DocumentInformation information, const PageSetup& page,
               ReadingOptions reading, std::optional<ChartData> chart, std::optional<ReadingsTable> table)
    : m_filename(std::move(filename)), m_outputfile(std::move(outputfile)), m_information(std::move(information)),
      m_geometry(initpdf(page)), m_reading(reading), m_chart(std::move(chart)), m_table(std::move(table))
{
    if (m_reading.tabSize < 0 || m_reading.tabSize > ReadingOptions::MaxTabSize)
        throw std::invalid_argument("The TAB size must be from 0 to " + std::to_string(ReadingOptions::MaxTabSize) +
                                    " columns, not " + std::to_string(m_reading.tabSize) + ".");
    if (m_chart)
        checkChart(*m_chart);
    if (m_table)
        checkTable(*m_table);
}

} // namespace quorvale

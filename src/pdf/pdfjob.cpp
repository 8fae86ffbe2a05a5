#include "pdfjob.h"

#include <utility>

namespace quorvale {

PdfJob::PdfJob(std::string filename, std::string outputfile, DocumentInformation information, const PageSetup& page,
               ReadingOptions reading, std::optional<ChartData> chart, std::optional<ReadingsTable> table)
    : m_filename(std::move(filename)), m_outputfile(std::move(outputfile)), m_information(std::move(information)),
      m_geometry(initpdf(page)), m_reading(reading), m_chart(std::move(chart)), m_table(std::move(table))
{
    if (m_chart)
        checkChart(*m_chart);
    if (m_table)
        checkTable(*m_table);
}

} // namespace quorvale

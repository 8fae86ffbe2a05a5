#include "pdfjob.h"

#include <utility>

namespace quorvale {

PdfJob::PdfJob(std::string filename, std::string outputfile, DocumentInformation information, const PageSetup& page,
               ReadingOptions reading)
    : m_filename(std::move(filename)), m_outputfile(std::move(outputfile)), m_information(std::move(information)),
      m_geometry(initpdf(page)), m_reading(reading)
{
}

} // namespace quorvale

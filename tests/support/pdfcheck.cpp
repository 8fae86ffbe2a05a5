#include "pdfcheck.h"

#include "testfiles.h"
#include "txt2pdfcase.h"

namespace quorvale::test {

::testing::AssertionResult checkStructure(const std::string& pdf, PdfPages* pages)
{
    const std::string problem = checkPdf(pdf, pages ? &pages->rows : nullptr);
    if (problem.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problem;
}

::testing::AssertionResult passesQpdf(const std::string& pdfPath)
{
    std::string report;
    const int status = runCommand("qpdf --check '" + pdfPath + "' 2>&1", &report);
    if (status == 0 && report.find("WARNING") == std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "qpdf --check exit " << status << ":\n" << report.substr(0, 2000);
}

} // namespace quorvale::test

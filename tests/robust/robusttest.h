// Shared by the robustness tests: one conversion at the command's defaults.
#pragma once

#include "pdftestsupport.h"
#include "pdfwriter.h"

#include <string>
#include <vector>

namespace quorvale::test {

inline const DocumentInformation TestInformation{"Author", "Creator", "Keywords", "Subject", "Title"};

// Converts input into output at the defaults (Times-Roman 10, letter, upright).
inline Result convertDefault(const std::string& input, const std::string& output,
                             const DocumentInformation& info = TestInformation)
{
    PdfWriter writer([] { return std::string("20261207084837"); });
    return writer.ConvertToPDF(PdfJob(input, output, info, PageSetup{}));
}

} // namespace quorvale::test

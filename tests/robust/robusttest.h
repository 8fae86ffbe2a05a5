// Shared by the robustness tests: one conversion at the command's defaults and the qpdf check.
#pragma once

#include "pdftestsupport.h"
#include "pdfwriter.h"

#include <string>
#include <vector>

namespace quorvale::test {

struct Information {
    std::string author = "Author";
    std::string creator = "Creator";
    std::string keywords = "Keywords";
    std::string subject = "Subject";
    std::string title = "Title";
};

// Converts input into output at the defaults (Times-Roman 10, letter, upright); the messages
// reported go to messages.
inline bool convertDefault(const std::string& input, const std::string& output, std::vector<std::string>& messages,
                           const Information& info = {})
{
    PdfWriter writer([&](const std::string& message) { messages.push_back(message); },
                     [] { return std::string("20261207084837"); });
    return writer.ConvertToPDF(input, output, info.author, info.creator, info.keywords, info.subject, info.title,
                               "Times-Roman", 10, 0, 8.5F, 11.0F);
}

// qpdf --check exits with 0: no error and no warning.
inline ::testing::AssertionResult passesQpdf(const std::string& pdfPath)
{
    std::string report;
    const int status = runCommand("qpdf --check '" + pdfPath + "' 2>&1", &report);
    if (status == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "qpdf --check exit " << status << ":\n" << report.substr(0, 2000);
}

} // namespace quorvale::test

// Shared by the robustness tests: one conversion at the command's defaults.
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

} // namespace quorvale::test

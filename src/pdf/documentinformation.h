// The values of the PDF's information dictionary, with the texts a new document starts from.
#pragma once

#include "maker.h"

#include <string>

namespace quorvale {

// UTF-8 text.
struct DocumentInformation {
    std::string author = "Orvin Kellaway";
    std::string creator = std::string(MakerUrl);
    std::string keywords = "PDF Keywords";
    std::string subject = std::string(ProgramTitle);
    std::string title = "PDF Title";
};

} // namespace quorvale

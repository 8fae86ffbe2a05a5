// The writer's state for one conversion, private to the PDF writer: geometry, capacities, object table and the pending
// output.
#pragma once

#include "numberlist.h"

#include <cstdint>
#include <string>

namespace quorvale {

struct PdfWriterState {
    std::int64_t pos = 0; // bytes written so far, pending ones included: the offset of the next line
    std::int32_t pagecount = 0;
    std::int32_t pageheight = 0;
    std::int32_t pagewidth = 0;
    NumberList offsets; // offsets.at(n) is where object n begins; [0] is unused
    NumberList kids;    // kids.at(k - 1) is the page object of page k
    std::int32_t maxlines = 0;
    std::int32_t objcount = 0;
    std::int32_t pagesobj = 0;
    std::int32_t encodingobj = 0;
    std::int32_t resourcesobj = 0;
    std::string author;
    std::string creator;
    std::string keywords;
    std::string subject;
    std::string title;
    std::string fontname;
    std::int64_t fontsize = 0; // points times 10000
    std::int64_t leading = 0;  // points times 10000
    std::int16_t rotation = 0;
    std::int32_t infoobj = 0;
    std::int32_t catalogobj = 0;
    double footerx = 0;
    std::int32_t footery = 0;
    std::string infile;
    std::int32_t maxchars = 0;
    std::string buffer;
};

} // namespace quorvale

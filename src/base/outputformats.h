// The output formats chosen in the entry window, carried to the output window.
#pragma once

namespace quorvale {

struct OutputFormats {
    bool PdfChosen = true;
    bool ExcelChosen = true;

    bool any() const { return PdfChosen || ExcelChosen; }
};

} // namespace quorvale

// Checks of a finished PDF for the tests: the fuzzer's structure check, and qpdf's.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvale::test {

// What a document's pages hold: the text of each row, page by page.
struct PdfPages {
    std::vector<std::vector<std::string>> rows;
};

// The structure every PDF of ours keeps (see checkPdf in fuzz/txt2pdfcase.h); reads the rows of each page.
::testing::AssertionResult checkStructure(const std::string& pdf, PdfPages* pages = nullptr);

// qpdf --check exits with 0 and reports no warning.
::testing::AssertionResult passesQpdf(const std::string& pdfPath);

} // namespace quorvale::test

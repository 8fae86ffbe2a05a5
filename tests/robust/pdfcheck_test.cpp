// The structure check the fuzzer and the PDF tests share: a good file passes, and each kind of
// damage to it is found.
#include "pdftestsupport.h"
#include "txt2pdfcase.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvale::test {
namespace {

const std::string Golden = std::string(QUORVALE_TEST_DATA) + "/../pdf/golden/datasheet-default.pdf";

TEST(PdfCheck, FindsEachKindOfDamageInAGoodFile)
{
    const std::string pdf = readFile(Golden);
    ASSERT_EQ(checkPdf(pdf), "");

    struct Damage {
        std::string from, to, found;
    };
    const Damage damages[] = {
        {"%PDF-1.2\r", "%PDF-1.3\r", "header"},
        {"/Author (Orvin", "/Author )Orvin", "information value /Author"},
        {"T* (", "T* )", "stray delimiter"},
        {"(1) Tj\r/F1", "(2) Tj\r/F1", "footer of page 1"},
        {"9 0 obj\r950\r", "9 0 obj\r951\r", "length of stream 8"},
        {"/Count 1\r", "/Count 2\r", "pages tree"},
        {"0000000587 00000 n", "0000000588 00000 n", "object 8 does not start a line"},
        {"/Size 10\r", "/Size 11\r", "trailer"},
    };
    for (const Damage& damage : damages) {
        std::string broken = pdf;
        const std::size_t at = broken.find(damage.from);
        ASSERT_NE(at, std::string::npos) << damage.from;
        broken.replace(at, damage.from.size(), damage.to);
        EXPECT_NE(checkPdf(broken).find(damage.found), std::string::npos) << damage.to << ": " << checkPdf(broken);
    }
}

} // namespace
} // namespace quorvale::test

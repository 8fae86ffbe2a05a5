// Hostile and odd input, and hostile information values, convert into PDFs that qpdf accepts.
#include "robusttest.h"
#include "txt2pdfcase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorvale::test {
namespace {

std::string repeat(const std::string& piece, std::size_t times)
{
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::string bytesFrom(int first, int last)
{
    std::string text;
    for (int byte = first; byte <= last; ++byte)
        text += static_cast<char>(byte);
    return text;
}

// Lines of backslashes and parentheses only, 1 to 400 long, so rows are cut hard inside escape pairs.
std::string backslashesAndParentheses()
{
    std::uint32_t state = 12345;
    std::string text;
    for (int line = 0; line < 300; ++line) {
        state = state * 1664525U + 1013904223U;
        const std::uint32_t length = 1 + (state >> 8) % 400;
        for (std::uint32_t i = 0; i < length; ++i) {
            state = state * 1664525U + 1013904223U;
            text += "\\()"[(state >> 16) % 3];
        }
        text += "\r\n";
    }
    return text;
}

class HostileInput : public ::testing::Test {
protected:
    // Converts text and checks the result with our own structure check and with qpdf.
    void convertsCleanly(const std::string& name, const std::string& text,
                         const DocumentInformation& info = TestInformation, bool runQpdf = true)
    {
        SCOPED_TRACE(name);
        const std::string input = m_folder + "/" + name + ".txt";
        const std::string output = m_folder + "/" + name + ".pdf";
        writeFile(input, text);
        const Result converted = convertDefault(input, output, info);
        ASSERT_TRUE(converted) << converted.reason;
        EXPECT_EQ(checkPdf(readFile(output)), "");
        if (runQpdf) {
            EXPECT_TRUE(passesQpdf(output));
        }
    }

    const TempDir m_dir;
    const std::string m_folder = m_dir.path();
};

TEST_F(HostileInput, OddBytesAndLineEnds)
{
    convertsCleanly("nul", std::string("a\0b\0\0c\r\n\0\r\n\0", 12));
    convertsCleanly("blanks", repeat("     \r\n", 1000) + std::string(50000, ' '));
    convertsCleanly("backslashes-parentheses", backslashesAndParentheses());
    convertsCleanly("cr-only", repeat("one (1)\rtwo \\ 2\r\r", 200));
    convertsCleanly("lf-only", repeat("one (1)\ntwo \\ 2\n\n", 200));
    convertsCleanly("high-bytes", repeat(bytesFrom(0x80, 0xFF) + "\r\n", 20) + bytesFrom(0x00, 0xFF));
}

TEST_F(HostileInput, TenMegabytesInOneLine)
{
    convertsCleanly("long-line", repeat("lorem ipsum (x) \\ dolor; ", 400000));
}

TEST_F(HostileInput, HundredThousandFormFeeds)
{
    convertsCleanly("form-feeds-one-line", std::string(100000, '\f'));
    // 100,000 pages: qpdf needs about a minute for them, our own check a moment.
    convertsCleanly("form-feeds-pages", repeat("\f\r\n", 100000), {}, /*runQpdf*/ false);
}

TEST_F(HostileInput, InformationValuesStayInsideTheirStrings)
{
    const std::string text = "a line of text\r\n";
    for (const std::string& value :
         {std::string(") /JavaScript (x"), std::string("\\"), std::string("\\)"), repeat("ab(c)\\d\x80\xE9 ", 1000)}) {
        convertsCleanly("info", text, DocumentInformation{value, value, value, value, value});
        std::string shown;
        ASSERT_EQ(runCommand("pdfinfo '" + m_folder + "/info.pdf' | grep '^Title:'", &shown), 0);
        if (value.size() < 100) {
            EXPECT_NE(shown.find(":" + std::string(11, ' ') + value + "\n"), std::string::npos) << shown;
        }
    }
}

} // namespace
} // namespace quorvale::test

// Text for the workbook's XML: what XML 1.0 holds passes unchanged, everything else is one "?".
#include "brokenutf8.h"
#include "xmltext.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(XmlText, EachCharacterXmlCannotHoldIsOneQuestionMark)
{
    const std::pair<std::string, std::string> cases[] = {
        {"\t\n\r Prüfung – 📈 \x7F", "\t\n\r Prüfung – 📈 \x7F"},
        {"\xEE\x80\x80\xEF\xBF\xBD", "\xEE\x80\x80\xEF\xBF\xBD"}, // U+E000, U+FFFD
        {std::string("a\0b\x01\x0B\x1F", 6), "a?b???"},
        {"\xEF\xBF\xBE\xEF\xBF\xBF", "??"}, // U+FFFE, U+FFFF
        // Not UTF-8: a stray byte, a cut-off sequence, an overlong form, a surrogate, beyond U+10FFFF.
        {"\xFF x\xE2\x80", "? x?"},
        {"\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80", "?????????"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(XmlText(text), expected) << testing::PrintToString(text);
}

TEST(XmlText, BrokenUtf8IsReadAsEveryReaderReadsIt)
{
    for (const test::BrokenUtf8& broken : test::BrokenUtf8Cases)
        EXPECT_EQ(XmlText(broken.bytes), broken.read) << testing::PrintToString(broken.bytes);
}

} // namespace
} // namespace quorvale

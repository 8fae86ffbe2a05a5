// Text for the workbook's XML: what XML 1.0 holds passes unchanged, everything else is one "?".
#include "xmltext.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

TEST(XmlText, KeepsWhatXmlHolds)
{
    for (const std::string text : {"", "plain", "\t\n\r",
                                   "Pr\xC3\xBC"
                                   "fung \xE2\x80\x93 \xF0\x9F\x93\x88",
                                   "\x7F", "\xEE\x80\x80\xEF\xBF\xBD" /* U+E000, U+FFFD */})
        EXPECT_EQ(XmlText(text), text);
}

TEST(XmlText, EachCharacterXmlCannotHoldIsOneQuestionMark)
{
    EXPECT_EQ(XmlText(std::string("a\0b", 3)), "a?b");
    EXPECT_EQ(XmlText("\x01\x08\x0B\x0C\x1F"), "?????");
    EXPECT_EQ(XmlText("\xEF\xBF\xBE\xEF\xBF\xBF"), "??"); // U+FFFE, U+FFFF
    // Not UTF-8: a stray byte, a cut-off sequence, an overlong form, a surrogate, beyond U+10FFFF.
    EXPECT_EQ(XmlText("\xFF"), "?");
    EXPECT_EQ(XmlText("x\xE2\x80"), "x??");
    EXPECT_EQ(XmlText("\xC0\xAF"), "??");
    EXPECT_EQ(XmlText("\xED\xA0\x80"), "???");
    EXPECT_EQ(XmlText("\xF4\x90\x80\x80"), "????");
}

} // namespace
} // namespace quorvale

// Windows-1252 text from UTF-8: every character of the code page kept, the rest and broken UTF-8 "?".
#include "brokenutf8.h"
#include "windows1252.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(Windows1252, KeepsEveryCharacterOfTheCodePageAndMarksTheRest)
{
    EXPECT_EQ(encodeWindows1252("Part # : R24\tG198\r\n"), "Part # : R24\tG198\r\n");
    // clang-format off
    EXPECT_EQ(encodeWindows1252("0\xC2\xBA \xC3\xA9"), "0\xBA \xE9");                        // º é
    EXPECT_EQ(encodeWindows1252("\xE2\x82\xAC\xE2\x80\x9C\xE2\x84\xA2"), "\x80\x93\x99");    // € “ ™
    EXPECT_EQ(encodeWindows1252("\xE4\xB8\xAD\xF0\x9F\x98\x80"), "??");                     // 中 😀
    EXPECT_EQ(encodeWindows1252("a\xC2\x81" "b"), "a?b");                                   // undefined 0x81
    EXPECT_EQ(encodeWindows1252("a\xFF\xC3"), "a??");                                       // malformed UTF-8
    // clang-format on
}

TEST(Windows1252, BrokenUtf8IsReadAsEveryReaderReadsIt)
{
    for (const test::BrokenUtf8& broken : test::BrokenUtf8Cases)
        EXPECT_EQ(encodeWindows1252(broken.bytes), broken.read) << testing::PrintToString(broken.bytes);
}

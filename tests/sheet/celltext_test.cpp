// The texts of the readings become the values a spreadsheet makes of them when typed in.
#include "celltext.h"

#include <gtest/gtest.h>

namespace quorvale {
namespace {

double dayFraction(int hour24, int minute)
{
    return (hour24 * 60 + minute) / 1440.0;
}

TEST(ParseTimeOfDay, GivesTheFractionOfTheDay)
{
    EXPECT_EQ(ParseTimeOfDay("1:20 PM"), dayFraction(13, 20));
    EXPECT_EQ(ParseTimeOfDay("7:40 PM"), dayFraction(19, 40));
    EXPECT_EQ(ParseTimeOfDay("9:05 AM"), dayFraction(9, 5));
    EXPECT_EQ(ParseTimeOfDay("11:59 PM"), dayFraction(23, 59));
}

TEST(ParseTimeOfDay, TwelveIsMidnightOrNoon)
{
    EXPECT_EQ(ParseTimeOfDay("12:00 AM"), 0.0);
    EXPECT_EQ(ParseTimeOfDay("12:30 AM"), dayFraction(0, 30));
    EXPECT_EQ(ParseTimeOfDay("12:00 PM"), 0.5);
}

TEST(ParseTimeOfDay, RejectsWhatIsNoTime)
{
    for (const char* text : {"", "1:20", "1:20 pm", "1:20PM", "0:20 PM", "13:20 PM", "1:60 PM", "1:2 PM", "1:200 PM",
                             ":20 PM", "-1:20 PM", "1:-2 PM", "a:20 PM", "1:20 PM ", " 1:20 PM", "1:20 XM"})
        EXPECT_FALSE(ParseTimeOfDay(text)) << '"' << text << '"';
}

TEST(ParseDecimal, ReadsPointDecimals)
{
    EXPECT_EQ(ParseDecimal("0.02"), 0.02);
    EXPECT_EQ(ParseDecimal("0.14"), 0.14);
    EXPECT_EQ(ParseDecimal("3"), 3.0);
    EXPECT_EQ(ParseDecimal("-1.5"), -1.5);
}

TEST(ParseDecimal, RejectsWhatIsNoNumber)
{
    for (const char* text : {"", "0,02", "abc", "0.02x", " 0.02", "+1", "1e3", "nan", "inf"})
        EXPECT_FALSE(ParseDecimal(text)) << '"' << text << '"';
}

} // namespace
} // namespace quorvale

#include "gaugeline.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvale {
namespace {

using Kind = GaugeLine::Kind;

TEST(GaugeReadingValue, TakesTheFixedFormatAndPlainNumbers)
{
    EXPECT_EQ(GaugeReadingValue("01A+00025.013").value_or(Decimal()).text(), "25.013");
    EXPECT_EQ(GaugeReadingValue("02b-00000.002").value_or(Decimal()).text(), "-0.002");
    EXPECT_EQ(GaugeReadingValue("01A+00000.000").value_or(Decimal()).text(), "0.000");
    EXPECT_EQ(GaugeReadingValue("  01A+00025.013 \r").value_or(Decimal()).text(), "25.013");
    EXPECT_EQ(GaugeReadingValue("25.013").value_or(Decimal()).text(), "25.013");
    EXPECT_EQ(GaugeReadingValue("-0.002").value_or(Decimal()).text(), "-0.002");
    EXPECT_EQ(GaugeReadingValue("\t0,5 ").value_or(Decimal()).text(), "0.5");
    EXPECT_EQ(GaugeReadingValue("+3").value_or(Decimal()).text(), "+3");
}

TEST(GaugeReadingValue, RefusesWhatIsNoReading)
{
    for (const char* line : {"", "   ", "ERR 3", "01A+", "01A+00025.013X", "1A+00025.013", "01A 00025.013",
                             "01A+000,25", "1.2.3", "1e5", "25.013 mm", "--1", "0x10"})
        EXPECT_EQ(GaugeReadingValue(line), std::nullopt) << line;
}

TEST(GaugeLineReader, CutsAtTheChosenLineEnd)
{
    GaugeLineReader cr(GaugeLineEnd::Cr);
    EXPECT_EQ(cr.take("01A+00025.013\r25"), (std::vector<GaugeLine>{{Kind::Complete, "01A+00025.013"}}));
    EXPECT_TRUE(cr.holdsUnended());
    // A line may arrive in pieces; in CR mode an LF is part of the line, a blank to the parser.
    EXPECT_EQ(cr.take(".5\r\n1\r"), (std::vector<GaugeLine>{{Kind::Complete, "25.5"}, {Kind::Complete, "\n1"}}));
    EXPECT_FALSE(cr.holdsUnended());

    GaugeLineReader lf(GaugeLineEnd::Lf);
    EXPECT_EQ(lf.take("1\r\n2\n\n"), (std::vector<GaugeLine>{{Kind::Complete, "1\r"}, {Kind::Complete, "2"}}));

    GaugeLineReader either(GaugeLineEnd::Either);
    EXPECT_EQ(either.take("1\r\n2\n3\r"),
              (std::vector<GaugeLine>{{Kind::Complete, "1"}, {Kind::Complete, "2"}, {Kind::Complete, "3"}}));
}

TEST(GaugeLineReader, DropsOverlongAndUnendedLinesWithinItsBound)
{
    GaugeLineReader reader(GaugeLineEnd::Cr);
    const std::string longest(GaugeLineReader::MaxLineBytes, '7');
    EXPECT_EQ(reader.take(longest + "\r"), (std::vector<GaugeLine>{{Kind::Complete, longest}}));

    // A megabyte without a line end is reported once and skipped up to the line end.
    const auto lines = reader.take(std::string(1 << 20, 'x') + "\r1\r");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].kind, Kind::Overlong);
    EXPECT_EQ(lines[0].text.size(), GaugeLineReader::MaxLineBytes);
    EXPECT_EQ(lines[1], (GaugeLine{Kind::Complete, "1"}));

    EXPECT_TRUE(reader.take("25.0").empty());
    EXPECT_EQ(reader.dropUnended(), "25.0");
    EXPECT_FALSE(reader.holdsUnended());
    EXPECT_EQ(reader.take("1\r"), (std::vector<GaugeLine>{{Kind::Complete, "1"}}));

    // Dropping the rest of an overlong line ends its skipping too.
    reader.take(std::string(300, 'x'));
    reader.dropUnended();
    EXPECT_EQ(reader.take("2\r"), (std::vector<GaugeLine>{{Kind::Complete, "2"}}));
}

TEST(GaugeLineForNote, ShowsControlBytesAndCutsLongLines)
{
    EXPECT_EQ(GaugeLineForNote(" ERR\x07 3 "), "ERR? 3");
    EXPECT_EQ(GaugeLineForNote(std::string(50, 'a')), std::string(40, 'a') + "...");
}

} // namespace
} // namespace quorvale

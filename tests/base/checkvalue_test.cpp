// Check as typed with its unit or sign: which texts are numbers, the unit they carry, and what a
// run makes of them (sizes judged against Check, the heading, the note where Check is no number).
#include "checkvalue.h"
#include "readingslook.h"
#include "readingstats.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(CheckValue, ANumberWithAUnitAfterOrASignBefore)
{
    const struct {
        const char* typed;
        const char* number;
        const char* unit;
    } numbers[] = {
        {"25.000", "25.000", ""},
        {" 25.000 mm ", "25.000", "mm"},
        {"25,4mm", "25.4", "mm"},
        {"1 in", "1", "in"},
        {"12.5 \u00B5m", "12.5", "\u00B5m"},
        {"12.5um", "12.5", "um"},
        {"90\u00B0", "90", "\u00B0"},
        {"90 deg", "90", "deg"},
        {"5g", "5", "g"},
        {"2.5 kg", "2.5", "kg"},
        {"40N", "40", "N"},
        {"12 Nm", "12", "Nm"},
        {"-3%", "-3", "%"},
        // Any letters after a blank, beyond ASCII too.
        {"250 mils", "250", "mils"},
        {"25 \u043C\u043C", "25", "\u043C\u043C"},
        {"\u00D825.000", "25.000", ""},
        {"\u2300 25 mm", "25", "mm"},
        {"R5", "5", ""},
        {"M8", "8", ""},
    };
    for (const auto& each : numbers) {
        SCOPED_TRACE(each.typed);
        const std::optional<CheckValue> check = CheckValueOf(each.typed);
        ASSERT_TRUE(check);
        EXPECT_EQ(check->value.text(), each.number);
        EXPECT_EQ(check->unit, each.unit);
    }
    // Letters run on without a blank only when they are a unit; anything else after the number, or a
    // sign that is not one of the four, leaves Check no number.
    for (const char* text : {"", "mm", "25mils", "25 mm.", "25 +/- 0.01", "M8x1.25", "25 mm 2", "1e3", "Rz 5", "\u00D8",
                             "\u00F825", "25 N/mm", "25.0.0 mm"})
        EXPECT_FALSE(CheckValueOf(text)) << '"' << text << '"';
}

TEST(CheckValue, ARunTakesCheckWithItsUnitAsANumber)
{
    RunChartRecord record = DefaultRunChartRecord();
    record.Check = "25.000 mm";
    record.UpperTolerance = "0.010";
    record.LowerTolerance = "0.010";
    ASSERT_TRUE(ReadingsAreSizes(record));
    EXPECT_EQ(RunLimits(record)->upper.text(), "25.010");
    EXPECT_EQ(LimitDecimals(record), 3);
    EXPECT_EQ(CheckLevelOf(record)->text, "25.000");
    EXPECT_EQ(ValueHeading(record), "Reading (mm)");
    EXPECT_EQ(CheckNote(record), "");
    record.ReadingsAreDeviations = true;
    EXPECT_EQ(ValueHeading(record), "Deviation (mm)");

    // Still no number: deviations, and the reason, unless the inspector chose deviations anyway.
    record.Check = "25 +/- 0.01";
    EXPECT_EQ(CheckNote(record), "");
    record.ReadingsAreDeviations = false;
    EXPECT_EQ(ValueHeading(record), "Deviation");
    EXPECT_EQ(RunLimits(record)->upper.text(), "0.010");
    EXPECT_EQ(CheckNote(record), "Check is not a number: readings are deviations from 0");
}

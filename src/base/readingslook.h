// How the outputs show a run's readings: the heading of their column, the decimals of the readings
// and their limits, and where the check stands among them.
#pragma once

#include "readingstats.h"
#include "runchartrecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

// "Reading" for sizes, "Deviation" for deviations, with Check's unit where it has one: "Reading (mm)".
std::string ValueHeading(const RunChartRecord& record);

// The unit typed after Check ("mm"), or nothing.
std::string ValueUnit(const RunChartRecord& record);

// Why the readings are deviations though the inspector did not choose so: Check is no number. Empty
// otherwise.
std::string CheckNote(const RunChartRecord& record);

// The decimals of Check and its tolerances where the run has limits or its readings are sizes;
// otherwise the most any reading was typed with.
int ValueDecimals(const RunChartRecord& record);

// Where Check stands among the readings, when it is a number: its value for sizes, 0 for deviations
// from it; and its number's text as kept ("25.000" of "25.000 mm").
struct CheckLevel {
    double value;
    std::string text;
};
std::optional<CheckLevel> CheckLevelOf(const RunChartRecord& record);

// The summary's text for the figure of that label ("Median"): every output rounds it as the summary
// does. Empty when there is no such line.
std::string SummaryText(const std::vector<SummaryLine>& lines, std::string_view label);

} // namespace quorvale

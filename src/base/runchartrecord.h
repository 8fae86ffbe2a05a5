// The run chart record: the nineteen free-text fields of the entry window, held as UTF-8, and the
// readings logged in its grid.
#pragma once

#include "reading.h"

#include <string>
#include <vector>

namespace quorvale {

// Which rules find the signals in a run: a shift (6 or more readings on one side of the median) and a
// trend (5 or more rising or falling), or Anhøj's rules for run charts (a run on one side longer than
// round(log2(n) + 3), fewer crossings of the median than the 5% point of Binomial(n - 1, 0.5), n
// counting the readings off the median).
enum class RunRules { ShiftAndTrend, Anhoj };

struct RunChartRecord {
    std::string PartNumber;
    std::string CustomerName;
    std::string Description;
    std::string Inspector;
    std::string OperationNumber;
    std::string DateInspector;
    std::string DateApprovedBy;
    std::string ApprovedBy;
    std::string Department;
    std::string DrawingRevision;
    std::string RunChartRevision;
    std::string UpperTolerance;
    std::string LowerTolerance;
    std::string Frequency;
    std::string Check;
    std::string InspectionTool;
    std::string Sheet;
    std::string SheetOf;
    std::string Comments; // line breaks are CR LF pairs
    // In the order logged; empty while the grid shows its sample rows, which no output uses.
    std::vector<Reading> Readings;
    // The inspector's choice to read the readings as deviations from Check even where Check is a number.
    bool ReadingsAreDeviations = false;
    // The inspector's choice of rules, kept with the run like the deviations.
    RunRules Rules = RunRules::ShiftAndTrend;

    bool operator==(const RunChartRecord&) const = default;
};

// What the entry window's text boxes hold when it opens.
RunChartRecord DefaultRunChartRecord();

} // namespace quorvale

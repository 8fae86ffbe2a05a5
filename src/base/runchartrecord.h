// The run chart record: the nineteen free-text fields of the entry window, held as UTF-8, and the
// readings logged in its grid.
#pragma once

#include "reading.h"

#include <string>
#include <vector>

namespace quorvale {

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

    bool operator==(const RunChartRecord&) const = default;
};

// What the entry window's text boxes hold when it opens.
RunChartRecord DefaultRunChartRecord();

} // namespace quorvale

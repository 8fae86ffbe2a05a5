// The record's nineteen fields under the names the runs table and the journal give them.
#pragma once

#include "runchartrecord.h"

#include <string>

namespace quorvale {

struct RecordColumn {
    const char* name;
    std::string RunChartRecord::*field;
};

inline constexpr RecordColumn RecordColumns[] = {
    {"part_number", &RunChartRecord::PartNumber},
    {"customer_name", &RunChartRecord::CustomerName},
    {"description", &RunChartRecord::Description},
    {"inspector", &RunChartRecord::Inspector},
    {"operation_number", &RunChartRecord::OperationNumber},
    {"date_inspector", &RunChartRecord::DateInspector},
    {"date_approved_by", &RunChartRecord::DateApprovedBy},
    {"approved_by", &RunChartRecord::ApprovedBy},
    {"department", &RunChartRecord::Department},
    {"drawing_revision", &RunChartRecord::DrawingRevision},
    {"run_chart_revision", &RunChartRecord::RunChartRevision},
    {"upper_tolerance", &RunChartRecord::UpperTolerance},
    {"lower_tolerance", &RunChartRecord::LowerTolerance},
    {"frequency", &RunChartRecord::Frequency},
    {"check_dimension", &RunChartRecord::Check},
    {"inspection_tool", &RunChartRecord::InspectionTool},
    {"sheet", &RunChartRecord::Sheet},
    {"sheet_of", &RunChartRecord::SheetOf},
    {"comments", &RunChartRecord::Comments},
};

} // namespace quorvale

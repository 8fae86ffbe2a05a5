#include "runchartrecord.h"

namespace quorvale {

RunChartRecord DefaultRunChartRecord()
{
    return {
        .PartNumber = "R24 G198",
        .CustomerName = "M/S Brenholt Consulting ",
        .Description = "Mounting Bracket for End Connector Sub-Assembly",
        .Inspector = "SomeOne",
        .OperationNumber = "12",
        .DateInspector = "12 Mar 2003",
        .DateApprovedBy = "12 Mar 2003",
        .ApprovedBy = "Orvin",
        .Department = "Q.C.",
        .DrawingRevision = "17-400-2",
        .RunChartRevision = "A-400-2",
        .UpperTolerance = "0.02",
        .LowerTolerance = "0.02",
        .Frequency = "1 per 50",
        .Check = "1.45",
        .InspectionTool = "Calipers",
        .Sheet = "1",
        .SheetOf = "18",
        .Comments = "The two holes on left \r\nside of the part are \r\npending till further notice.\r\n",
        .Readings = {},
        .ReadingsAreDeviations = false,
        .Rules = RunRules::ShiftAndTrend,
    };
}

} // namespace quorvale

// The runs as text for scripts: one line per run, and a run's readings as CSV.
#pragma once

#include "runstore.h"

#include <string>

namespace quorvale {

// "id TAB state TAB started TAB readings TAB part number" and a line feed; TABs and line breaks in
// the part number become blanks, so that one run stays one line.
std::string RunListLine(const RunSummary& run);

// RFC 4180: the header "reading,time,value", then one record per reading (its number in the run,
// which stays when a reading before it is removed; its time in ISO 8601 with the offset, its value as kept), every line
// ended by CR LF.
std::string ReadingsCsv(const StoredRun& run);

} // namespace quorvale

// Converts a text file into a PDF-1.2 document in one forward pass.
#pragma once

#include "pdfjob.h"
#include "readingoptions.h"
#include "result.h"

#include <functional>
#include <string>

namespace quorvale {

class PdfWriter {
public:
    // The local date and time as the 14 digits YYYYMMDDHHNNSS.
    using Clock = std::function<std::string()>;

    explicit PdfWriter(Clock clock = localTimestamp);

    // Done when the PDF file was written completely; otherwise the reason, for the user, and the
    // older output file as it was.
    Result ConvertToPDF(const PdfJob& job);

    // What the last conversion's reading replaced by "?".
    const ReadingSummary& lastReading() const { return m_lastReading; }

    static std::string localTimestamp();

private:
    Clock m_clock;
    ReadingSummary m_lastReading;
};

} // namespace quorvale

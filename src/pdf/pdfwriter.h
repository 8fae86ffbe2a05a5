// Converts a text file into a PDF-1.2 document in one forward pass.
#pragma once

#include "readingoptions.h"

#include <cstdint>
#include <functional>
#include <string>

namespace quorvale {

class PdfWriter {
public:
    // Shows a failure's description to the user.
    using Reporter = std::function<void(const std::string& description)>;
    // The local date and time as the 14 digits YYYYMMDDHHNNSS.
    using Clock = std::function<std::string()>;

    explicit PdfWriter(Reporter report, Clock clock = localTimestamp);

    // Texts are Windows-1252 bytes, paths native file names; the text file is read as reading says.
    // Reports every failure itself and returns whether the PDF file was written completely.
    bool ConvertToPDF(const std::string& filename, const std::string& outputfile, const std::string& TextAuthor,
                      const std::string& TextCreator, const std::string& TextKeywords, const std::string& TextSubject,
                      const std::string& TextTitle, const std::string& FontName, std::int16_t FontSize,
                      std::int16_t Rotation, float pwidth, float pheight, const ReadingOptions& reading = {});

    // What the last conversion's reading replaced by "?".
    const ReadingSummary& lastReading() const { return m_lastReading; }

    static std::string localTimestamp();

private:
    Reporter m_report;
    Clock m_clock;
    ReadingSummary m_lastReading;
};

} // namespace quorvale

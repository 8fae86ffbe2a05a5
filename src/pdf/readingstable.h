// The readings as a table on the text pages, standing in place of the text's lines that list them:
// fixed columns (number, date and time, reading, judgement), the number and the reading right-aligned
// by their measured widths, so that their columns line up in every font with known metrics.
#pragma once

#include "pagesetup.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quorvale {

// The cells of one row, Windows-1252; an empty one is left out.
struct ReadingsTableRow {
    std::string number;
    std::string dateTime;
    std::string reading;
    std::string judgement;
};

struct ReadingsTable {
    std::int64_t firstLine = 1; // the first of the text's lines (from 1) it stands in place of
    std::int64_t lines = 0;     // how many; 0 puts the table before firstLine
    ReadingsTableRow heading{"No.", "Date and Time", "Reading", "Judgement"};
    std::vector<ReadingsTableRow> rows;
};

// Throws std::invalid_argument when the lines it stands in place of cannot be in a text.
void checkTable(const ReadingsTable& table);

// Where the cells stand, measured once for a table in a page's font.
class TableColumns {
public:
    TableColumns(const ReadingsTable& table, const PageGeometry& geometry);

    // The content-stream lines of a row: to the next row, each cell in its place, back to the left edge.
    std::string row(const ReadingsTableRow& cells) const;

private:
    const PageGeometry& m_geometry;
    // In hundredths of a point right of the left edge.
    std::int64_t m_numberRight = 0;
    std::int64_t m_dateTimeLeft = 0;
    std::int64_t m_readingRight = 0;
    std::int64_t m_judgementLeft = 0;
};

} // namespace quorvale

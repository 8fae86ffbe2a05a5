#include "readingstable.h"

#include "pdftext.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace quorvale {

namespace {

std::int64_t hundredths(double points)
{
    return roundHalfEven(points * 100);
}

// A new line of operators moving the text by a signed distance in hundredths of a point, built by
// appending: g++ 12's optimiser warns falsely on a literal put before a string.
std::string moveBy(std::int64_t hundredths)
{
    std::string text = hundredths < 0 ? "\r-" : "\r";
    text += formatFixed(std::abs(hundredths) * (FixedScale / 100));
    return text += " 0 Td";
}

} // namespace

void checkTable(const ReadingsTable& table)
{
    if (table.firstLine < 1 || table.lines < 0)
        throw std::invalid_argument("The readings table must stand in place of lines of the text.");
}

TableColumns::TableColumns(const ReadingsTable& table, const PageGeometry& geometry) : m_geometry(geometry)
{
    double number = 0;
    double dateTime = 0;
    double reading = 0;
    const auto measure = [&](const ReadingsTableRow& row) {
        number = std::max(number, textWidth(geometry, row.number));
        dateTime = std::max(dateTime, textWidth(geometry, row.dateTime));
        reading = std::max(reading, textWidth(geometry, row.reading));
    };
    measure(table.heading);
    std::for_each(table.rows.begin(), table.rows.end(), measure);
    // A gap of one and a half times the font size between the columns.
    const double gap = 1.5 * static_cast<double>(geometry.fontsize) / FixedScale;
    m_numberRight = hundredths(number);
    m_dateTimeLeft = hundredths(number + gap);
    m_readingRight = hundredths(number + gap + dateTime + gap + reading);
    m_judgementLeft = hundredths(number + gap + dateTime + gap + reading + gap);
}

std::string TableColumns::row(const ReadingsTableRow& cells) const
{
    std::string lines = "T*";
    std::int64_t at = 0;
    const auto cell = [&](const std::string& text, std::int64_t left) {
        if (text.empty())
            return;
        lines += moveBy(left - at);
        lines += "\r(";
        appendEscaped(lines, text);
        lines += ") Tj";
        at = left;
    };
    cell(cells.number, m_numberRight - hundredths(textWidth(m_geometry, cells.number)));
    cell(cells.dateTime, m_dateTimeLeft);
    cell(cells.reading, m_readingRight - hundredths(textWidth(m_geometry, cells.reading)));
    cell(cells.judgement, m_judgementLeft);
    if (at != 0)
        lines += moveBy(-at);
    return lines;
}

} // namespace quorvale

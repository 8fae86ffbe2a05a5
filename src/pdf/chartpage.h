// The run chart drawn as a page of its own after the text: the readings joined by a line with a
// mark at each, levels across it (the limits solid, the check dash-dotted, the median and the natural
// process limits dashed) each labelled at the right, the readings outside the limits red and drawn as
// triangles, reading numbers along the bottom and values up the side at steps of 1, 2 or 5.
#pragma once

#include "pagesetup.h"

#include <string>
#include <vector>

namespace quorvale {

class DocumentFonts;
class PdfDocument;

// Where the run judged a reading: the chart only shows it.
enum class ChartJudgement { Within, Above, Below };

struct ChartReading {
    double value; // finite
    ChartJudgement judged = ChartJudgement::Within;
};

// A value drawn across the whole chart, with its label (UTF-8) right of it.
struct ChartLevel {
    enum class Kind { Limit, Check, Median, NaturalLimit };
    Kind kind;
    double value; // finite
    std::string label;
};

struct ChartData {
    std::string title;                  // UTF-8, as every text of the chart
    std::string unit;                   // over the values up the side; may be empty
    std::vector<ChartReading> readings; // in the order logged, numbered from 1
    std::vector<ChartLevel> levels;
    int decimals = 3; // of the values up the side
};

// Throws std::invalid_argument when the chart has no reading or a figure that is not finite.
void checkChart(const ChartData& chart);

// Keeps the glyphs of the chart's characters beyond Windows-1252 in the fonts, before the resources
// that name the fonts are written.
void useChartCharacters(const ChartData& chart, DocumentFonts& fonts);

// Draws the chart on a new page in the geometry's page size and font, its characters beyond
// Windows-1252 through the fonts; the page is numbered like the others.
void writeChartPage(PdfDocument& document, const PageGeometry& geometry, const ChartData& chart, DocumentFonts& fonts);

} // namespace quorvale

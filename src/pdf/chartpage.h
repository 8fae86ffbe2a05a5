// The run chart drawn as a page of its own after the text: the readings joined by a line with a
// mark at each, the tolerance limits solid, the median dashed, each labelled with its value, the
// readings outside the limits in red, reading numbers along the bottom and values up the side.
#pragma once

#include "pagesetup.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvale {

class PdfDocument;

struct ChartData {
    std::string title;            // Windows-1252
    std::vector<double> readings; // in the order logged, numbered from 1; finite
    std::optional<double> upper;  // limits, when the run has them
    std::optional<double> lower;
    std::optional<double> median;
    int decimals = 3;          // for the values written on the chart
    std::vector<bool> outside; // for each reading, whether it lies outside its limits (judged exactly)
};

// Throws std::invalid_argument when the chart has no reading, a figure that is not finite or not one
// judgement for each reading.
void checkChart(const ChartData& chart);

// Draws the chart on a new page in the geometry's page size and font; the page is numbered like the others.
void writeChartPage(PdfDocument& document, const PageGeometry& geometry, const ChartData& chart);

} // namespace quorvale

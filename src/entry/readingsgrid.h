// The readings grid: a two-column report of the run's readings, time of day against value.
#pragma once

class QTreeWidget;

namespace quorvale {

struct ReadingsColumnWidths {
    float dateTime;  // twips
    float tolerance; // twips
};

// The grid's width less three screen pixels, shared 40 % and 55 % between the two columns.
ReadingsColumnWidths readingsColumnWidths(float gridWidthTwips, float twipsPerPixel);

// Creates the "Date/Time" and "Tolerance" columns in report view.
void setUpReadingsGrid(QTreeWidget& grid, float gridWidthTwips, float twipsPerPixel);
// Replaces the rows with the fixed series of fourteen readings.
void fillReadingsGrid(QTreeWidget& grid);

} // namespace quorvale

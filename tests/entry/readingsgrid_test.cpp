// The readings grid: its fourteen fixed rows and its column widths at two screen resolutions.
#include "readingsgrid.h"

#include <gtest/gtest.h>

#include <QTreeWidget>

using namespace quorvale;

TEST(ReadingsGrid, ColumnWidthsFollowTheScreensPixelSize)
{
    const ReadingsColumnWidths at15 = readingsColumnWidths(4815, 15);
    EXPECT_FLOAT_EQ(at15.dateTime, 1908.0f);
    EXPECT_FLOAT_EQ(at15.tolerance, 2623.5f);
    const ReadingsColumnWidths at12 = readingsColumnWidths(4815, 12);
    EXPECT_FLOAT_EQ(at12.dateTime, 1911.6f);
    EXPECT_FLOAT_EQ(at12.tolerance, 2628.45f);

    QTreeWidget grid;
    setUpReadingsGrid(grid, 4815, 15);
    EXPECT_EQ(grid.columnWidth(0), 127);
    EXPECT_EQ(grid.columnWidth(1), 175);
    setUpReadingsGrid(grid, 4815, 12);
    EXPECT_EQ(grid.columnWidth(0), 159);
    EXPECT_EQ(grid.columnWidth(1), 219);
    EXPECT_EQ(grid.headerItem()->text(0), "Date/Time");
    EXPECT_EQ(grid.headerItem()->text(1), "Tolerance");
}

TEST(ReadingsGrid, FillingTwiceStillGivesTheFourteenReadings)
{
    QTreeWidget grid;
    setUpReadingsGrid(grid, 4815, 15);
    fillReadingsGrid(grid);
    fillReadingsGrid(grid);
    ASSERT_EQ(grid.topLevelItemCount(), 14);
    EXPECT_EQ(grid.topLevelItem(0)->text(0), "1:20 PM");
    EXPECT_EQ(grid.topLevelItem(6)->text(0), "3:20 PM");
    EXPECT_EQ(grid.topLevelItem(13)->text(0), "5:40 PM");
    for (int row = 0; row < 14; ++row)
        EXPECT_EQ(grid.topLevelItem(row)->text(1), "0.02") << row;
}

#include "readingsgrid.h"

#include "twips.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace quorvale {

ReadingsColumnWidths readingsColumnWidths(float gridWidthTwips, float twipsPerPixel)
{
    const float w = gridWidthTwips - 3 * twipsPerPixel;
    return {0.4f * w, 0.55f * w};
}

void setUpReadingsGrid(QTreeWidget& grid, float gridWidthTwips, float twipsPerPixel)
{
    const ReadingsColumnWidths widths = readingsColumnWidths(gridWidthTwips, twipsPerPixel);
    grid.setColumnCount(2);
    grid.setHeaderLabels({QStringLiteral("Date/Time"), QStringLiteral("Tolerance")});
    grid.header()->setStretchLastSection(false);
    grid.header()->setSectionsMovable(false);
    grid.setColumnWidth(0, twipsToPixels(widths.dateTime, twipsPerPixel));
    grid.setColumnWidth(1, twipsToPixels(widths.tolerance, twipsPerPixel));
    // A flat report: no tree decoration, display only.
    grid.setRootIsDecorated(false);
    grid.setItemsExpandable(false);
    grid.setUniformRowHeights(true);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void fillReadingsGrid(QTreeWidget& grid)
{
    static const char* const Times[] = {"1:20 PM", "1:40 PM", "2:00 PM", "2:20 PM", "2:40 PM", "3:00 PM", "3:20 PM",
                                        "3:40 PM", "4:00 PM", "4:20 PM", "4:40 PM", "5:00 PM", "5:20 PM", "5:40 PM"};
    grid.clear();
    for (const char* time : Times)
        new QTreeWidgetItem(&grid, {QString::fromLatin1(time), QStringLiteral("0.02")});
}

} // namespace quorvale

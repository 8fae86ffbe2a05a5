#include "runcharticon.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <algorithm>
#include <cmath>

namespace quorvale {

QRect runChartSheet()
{
    return {1, 1, 29, 29};
}

std::span<const RunChartStroke> runChartStrokes()
{
    // A handful of plain colours: tolerance limits, a centre line and the readings.
    static const std::vector<RunChartStroke> strokes{
        {{{4, 8}, {28, 8}}, Qt::red, 1, true},
        {{{4, 24}, {28, 24}}, Qt::red, 1, true},
        {{{4, 16}, {28, 16}}, Qt::darkGreen, 1, false},
        {{{4, 18}, {8, 12}, {12, 19}, {16, 14}, {20, 21}, {24, 11}, {28, 15}}, QColor(0, 0, 128), 2, false},
    };
    return strokes;
}

QImage runChartImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // At other sizes lines grow with the square root of the scale, so that large icons are not
    // drawn in heavy strokes, and no line is thinner than a pixel, so that small ones keep every line.
    double thinning = 1;
    double minimumWidth = 0;
    if (size != RunChartDesignSize) {
        const double scale = static_cast<double>(size) / RunChartDesignSize;
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.translate(0.5, 0.5);
        thinning = 1 / std::sqrt(scale);
        minimumWidth = 1 / scale;
    }
    const auto pen = [&](const QColor& colour, int width, bool dashed) {
        const double penWidth = std::max(width * thinning, minimumWidth);
        QPen result(colour, penWidth);
        // The dashes keep their length in the design's units whatever the line's width.
        if (dashed)
            result.setDashPattern({4 * width / penWidth, 2 * width / penWidth});
        return result;
    };
    painter.setPen(pen(Qt::black, 1, false));
    painter.setBrush(Qt::white);
    painter.drawRect(runChartSheet());
    for (const RunChartStroke& stroke : runChartStrokes()) {
        painter.setPen(pen(stroke.colour, stroke.width, stroke.dashed));
        painter.drawPolyline(QPolygon(QList<QPoint>(stroke.points.begin(), stroke.points.end())));
    }
    return image;
}

QIcon runChartIcon()
{
    return QIcon(QPixmap::fromImage(runChartImage(RunChartDesignSize)));
}

} // namespace quorvale

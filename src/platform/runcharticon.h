// The program's icon, a small run chart drawn in code: one design, in 32 x 32 units, drawn at any size
// for the windows and for the desktop's icon theme.
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <span>
#include <vector>

namespace quorvale {

constexpr int RunChartDesignSize = 32;

// One line of the design: a polyline with its colour, width and dashing.
struct RunChartStroke {
    std::vector<QPoint> points;
    QColor colour;
    int width = 1;
    bool dashed = false;
};

// The white sheet with a black edge, and the lines drawn over it in order.
QRect runChartSheet();
std::span<const RunChartStroke> runChartStrokes();

// The design at size x size pixels: exact pixels at the design size, smoothed at any other.
QImage runChartImage(int size);

// The window icon: the design at its own size.
QIcon runChartIcon();

} // namespace quorvale

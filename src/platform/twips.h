// Window coordinates are laid out in twips (1/1440 inch) and turned into pixels for the screen.
#pragma once

#include <QPaintDevice>
#include <QRect>

#include <cmath>

namespace quorvale {

// 15 at 96 dots per inch.
inline double twipsPerPixel(const QPaintDevice& device)
{
    return 1440.0 / device.logicalDpiX();
}

inline int twipsToPixels(double twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

inline QRect twipsRect(int left, int top, int width, int height, double twipsPerPixel)
{
    return {twipsToPixels(left, twipsPerPixel), twipsToPixels(top, twipsPerPixel), twipsToPixels(width, twipsPerPixel),
            twipsToPixels(height, twipsPerPixel)};
}

} // namespace quorvale

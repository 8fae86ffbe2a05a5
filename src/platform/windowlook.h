// What the wizard's windows share in how they look and where they stand.
#pragma once

#include <QFont>

class QWidget;

namespace quorvale {

// The desktop's classic dialog font where there is one, else a metric look-alike, so every
// caption fits the place its window was laid out for.
QFont windowFont();

// Places the window's outer frame in the middle of its whole screen (not the work area). Before the
// window manager has framed the window its frame is not known, and the client area is centred.
void centreOnScreen(QWidget& window);

} // namespace quorvale

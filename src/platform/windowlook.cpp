#include "windowlook.h"

#include <QScreen>
#include <QWidget>

#include <cmath>

namespace quorvale {

QFont windowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSizeF(8.25);
    return font;
}

void centreOnScreen(QWidget& window)
{
    const QRect screenArea = window.screen()->geometry();
    const QSize outer = window.frameGeometry().size();
    // Halved in floating point: on a screen smaller than the window the place goes negative.
    window.move(screenArea.x() + static_cast<int>(std::lround((screenArea.width() - outer.width()) / 2.0)),
                screenArea.y() + static_cast<int>(std::lround((screenArea.height() - outer.height()) / 2.0)));
}

} // namespace quorvale

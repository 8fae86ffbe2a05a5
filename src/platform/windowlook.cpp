#include "windowlook.h"

#include <QFontDatabase>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace quorvale {

QFont windowFont()
{
    // Only the installed ones: each new size or weight of a missing family costs Qt a fontconfig
    // search before it falls back to the next.
    static const QStringList families = [] {
        const QStringList installed = QFontDatabase::families();
        QStringList wanted{QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
        wanted.removeIf([&](const QString& family) { return !installed.contains(family, Qt::CaseInsensitive); });
        return wanted;
    }();
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(8.25);
    return font;
}

void centreOnScreen(QWidget& window)
{
    const QRect screenArea = window.screen()->geometry();
    // The frame as the window manager drew it; none before the window is first shown.
    const QMargins frame = window.windowHandle() ? window.windowHandle()->frameMargins() : QMargins();
    const QSize outer = window.size().grownBy(frame);
    // Halved in floating point: on a screen smaller than the window the place goes negative.
    const QPoint outerTopLeft(
        screenArea.x() + static_cast<int>(std::lround((screenArea.width() - outer.width()) / 2.0)),
        screenArea.y() + static_cast<int>(std::lround((screenArea.height() - outer.height()) / 2.0)));
    // The client area goes inside the frame.
    window.setGeometry(QRect(outerTopLeft + QPoint(frame.left(), frame.top()), window.size()));
}

} // namespace quorvale

#include "runcharticon.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace quorvale {

QIcon runChartIcon()
{
    // 32 x 32 in a handful of plain colours: a sheet with tolerance limits, a centre line and the readings.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 1, 29, 29);

    painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
    painter.drawLine(4, 8, 28, 8);
    painter.drawLine(4, 24, 28, 24);
    painter.setPen(QPen(Qt::darkGreen, 1));
    painter.drawLine(4, 16, 28, 16);

    const QPolygon readings({{4, 18}, {8, 12}, {12, 19}, {16, 14}, {20, 21}, {24, 11}, {28, 15}});
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    painter.drawPolyline(readings);
    painter.end();
    return QIcon(pixmap);
}

} // namespace quorvale

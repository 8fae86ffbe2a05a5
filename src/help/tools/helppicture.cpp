// Paints the help window's picture and writes it as a 24-bit, uncompressed, bottom-up BMP at 96 dpi.
// Run it by hand after changing the picture: quorvale-help-picture src/help/help.bmp
#include "maker.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>
#include <QtEndian>

#include <cstdio>

namespace {

constexpr int Width = 562;
constexpr int Height = 464;
constexpr quint32 PixelsPerMetre = 3780; // 96 dots per inch

const QColor Navy(0, 0, 128);
const QColor Maroon(128, 0, 0);
const QColor Band(31, 58, 95);
const QColor Ink(40, 40, 40);
const QColor Paper(250, 249, 245);
const QColor Rule(200, 196, 186);

QFont font(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// Draws a block of simple rich text at (x, y), wrapped to width; returns the y below it.
int drawText(QPainter& p, int x, int y, int width, const QString& html, int pixelSize = 11)
{
    QTextDocument doc;
    doc.setDefaultFont(font(pixelSize));
    doc.setDocumentMargin(0);
    doc.setDefaultStyleSheet(QStringLiteral("body { color: %1; }").arg(Ink.name()));
    doc.setHtml(QStringLiteral("<body>%1</body>").arg(html));
    doc.setTextWidth(width);
    p.save();
    p.translate(x, y);
    doc.drawContents(&p);
    p.restore();
    return y + qCeil(doc.size().height());
}

// One entry-window field group: a coloured tag for its label, then what to type there.
int drawField(QPainter& p, int y, const QColor& colour, const QString& label, const QString& html)
{
    constexpr int left = 14;
    constexpr int tagWidth = 92;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRect(left, y + 1, tagWidth, 16), 3, 3);
    p.setPen(Qt::white);
    p.setFont(font(10, true));
    p.drawText(QRect(left, y + 1, tagWidth, 16), Qt::AlignCenter, label);
    constexpr int textLeft = left + tagWidth + 8;
    return drawText(p, textLeft, y + 1, 326 - textLeft, html) + 5;
}

void drawTitle(QPainter& p)
{
    p.fillRect(QRect(0, 0, Width, 46), Band);
    p.setPen(Qt::white);
    p.setFont(font(19, true));
    p.drawText(QRect(14, 0, 400, 46), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("Run Chart Help"));
    p.setFont(font(11));
    p.setPen(QColor(200, 215, 235));
    p.drawText(QRect(0, 0, Width - 14, 46), Qt::AlignVCenter | Qt::AlignRight,
               QString::fromUtf8(quorvale::ProgramTitle));
}

void drawFields(QPainter& p, int y)
{
    p.setPen(Band);
    p.setFont(font(12, true));
    p.drawText(QPoint(14, y + 12), QStringLiteral("What the entry window asks for"));
    y += 22;
    y = drawField(p, y, Navy, QStringLiteral("Header"),
                  QStringLiteral("<b>Part&nbsp;#</b>, <b>Customer Name</b>, <b>Description</b>, <b>Inspector</b>, "
                                 "<b>Operation&nbsp;#</b>, <b>Approved By</b>, <b>Department</b>, two <b>Date</b>s: "
                                 "what is made, for whom, who checks it, who signs it off."));
    y = drawField(p, y, Maroon, QStringLiteral("Revisions"),
                  QStringLiteral("<b>Drawing Revision</b> and <b>RunChart&nbsp;Revision</b>."));
    y = drawField(p, y, Maroon, QStringLiteral("Check"),
                  QStringLiteral("the size to measure, e.g.&nbsp;<b>1.45</b>, and how far a part may go above "
                                 "it (<b>Upper Tolerance</b>) and below it (<b>Lower Tolerance</b>)."));
    y = drawField(p, y, Maroon, QStringLiteral("Frequency"),
                  QStringLiteral("how often to measure, e.g. <b>1&nbsp;per&nbsp;50</b> parts."));
    y = drawField(p, y, Maroon, QStringLiteral("Insp Tool"),
                  QStringLiteral("the gauge to measure with, e.g. <b>Calipers</b>."));
    y = drawField(p, y, Maroon, QStringLiteral("Sheet"),
                  QStringLiteral("<b>Sheet</b> … <b>of</b> …: this sheet's number and how many sheets the "
                                 "run has."));
    drawField(p, y, Band, QStringLiteral("Comments"), QStringLiteral("notes for the operator, on several lines."));
}

// A small run chart: readings against the time of day between the two tolerance limits.
void drawSketch(QPainter& p, const QRect& card)
{
    p.setPen(QPen(Rule, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(card.adjusted(0, 0, -1, -1), 5, 5);

    p.setPen(Band);
    p.setFont(font(11, true));
    p.drawText(QRect(card.left(), card.top() + 6, card.width(), 16), Qt::AlignHCenter, QStringLiteral("A run chart"));

    const QRect plot(card.left() + 44, card.top() + 36, card.width() - 60, card.height() - 72);
    const double top = 1.48;
    const double bottom = 1.42;
    auto yOf = [&](double v) { return plot.top() + (top - v) / (top - bottom) * plot.height(); };

    // Tolerance band and its limits.
    p.fillRect(QRectF(plot.left(), yOf(1.47), plot.width(), yOf(1.43) - yOf(1.47)), QColor(232, 244, 232));
    p.setFont(font(9));
    auto limit = [&](double v, const QColor& colour, Qt::PenStyle style, const QString& name) {
        p.setPen(QPen(colour, 1.2, style));
        p.drawLine(QPointF(plot.left(), yOf(v)), QPointF(plot.right(), yOf(v)));
        p.setPen(colour);
        p.drawText(QRectF(card.left() + 2, yOf(v) - 7, 40, 14), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v, 'f', 2));
        p.drawText(QRectF(plot.right() - 60, yOf(v) - 14, 58, 12), Qt::AlignRight | Qt::AlignVCenter, name);
    };
    limit(1.47, QColor(190, 30, 30), Qt::DashLine, QStringLiteral("upper limit"));
    limit(1.45, QColor(30, 120, 50), Qt::SolidLine, QStringLiteral("check"));
    limit(1.43, QColor(190, 30, 30), Qt::DashLine, QStringLiteral("lower limit"));

    // Axes.
    p.setPen(QPen(Ink, 1));
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());

    // Readings: steady at first, then drifting up toward the upper limit.
    const double readings[] = {1.451, 1.447, 1.452, 1.449, 1.454, 1.450, 1.456, 1.459, 1.462, 1.466};
    const int count = int(std::size(readings));
    QPainterPath path;
    QList<QPointF> points;
    for (int i = 0; i < count; ++i) {
        const QPointF point(plot.left() + 10 + i * (plot.width() - 20.0) / (count - 1), yOf(readings[i]));
        points.append(point);
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    p.setPen(QPen(Navy, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setBrush(Navy);
    for (const QPointF& point : points)
        p.drawEllipse(point, 2.6, 2.6);

    p.setPen(Ink);
    p.setFont(font(9));
    const QStringList times{QStringLiteral("8:00"), QStringLiteral("10:00"), QStringLiteral("12:00")};
    for (int i = 0; i < times.size(); ++i) {
        const double x = points[i * (count - 1) / (times.size() - 1)].x();
        p.drawText(QRectF(x - 20, plot.bottom() + 3, 40, 12), Qt::AlignHCenter, times[i]);
    }
    p.drawText(QRect(card.left(), card.bottom() - 20, card.width(), 14), Qt::AlignHCenter,
               QStringLiteral("time of day  \u2192"));
}

QImage paintPicture()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Paper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    drawTitle(p);
    const int introBottom =
        drawText(p, 14, 56, Width - 28,
                 QStringLiteral("A <b>run chart</b> follows one feature of a part through a job run. The operator "
                                "measures it at set times and plots each reading, so a drift toward a limit "
                                "shows before bad parts are made."),
                 11);
    drawFields(p, introBottom + 8);
    drawSketch(p, QRect(338, introBottom + 10, 210, 210));
    drawText(p, 338, introBottom + 232, 210,
             QStringLiteral("Readings stay between the limits. A run heading for a limit means: adjust the "
                            "process.<br><br>Tick <b>PDF</b>, <b>Excel</b> or both, then press <b>Next</b>."));

    p.fillRect(QRect(0, Height - 28, Width, 28), QColor(228, 232, 238));
    p.setPen(Band);
    p.setFont(font(11, true));
    p.drawText(QRect(0, Height - 28, Width, 28), Qt::AlignCenter,
               QStringLiteral("Click anywhere on this picture to return to the entry window."));
    return image;
}

void putLe16(QByteArray& bytes, quint16 value)
{
    char raw[2];
    qToLittleEndian(value, raw);
    bytes.append(raw, 2);
}

void putLe32(QByteArray& bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

// The BMP bytes written by hand, so header, resolution and row order are exactly as wanted.
QByteArray bmpBytes(const QImage& image)
{
    const quint32 rowBytes = (image.width() * 3 + 3) / 4 * 4;
    const quint32 pixelBytes = rowBytes * image.height();
    const quint32 headerBytes = 14 + 40;
    QByteArray bytes;
    bytes.reserve(headerBytes + pixelBytes);

    bytes.append("BM");
    putLe32(bytes, headerBytes + pixelBytes);
    putLe32(bytes, 0); // reserved
    putLe32(bytes, headerBytes);

    putLe32(bytes, 40);
    putLe32(bytes, image.width());
    putLe32(bytes, image.height()); // positive: bottom-up
    putLe16(bytes, 1);              // planes
    putLe16(bytes, 24);             // bits per pixel
    putLe32(bytes, 0);              // BI_RGB, uncompressed
    putLe32(bytes, pixelBytes);
    putLe32(bytes, PixelsPerMetre);
    putLe32(bytes, PixelsPerMetre);
    putLe32(bytes, 0); // colours used
    putLe32(bytes, 0); // important colours

    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < image.width(); ++x) {
            row[x * 3] = char(qBlue(line[x]));
            row[x * 3 + 1] = char(qGreen(line[x]));
            row[x * 3 + 2] = char(qRed(line[x]));
        }
        bytes.append(row);
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvale-help-picture OUT.bmp\n");
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(bmpBytes(paintPicture())) < 0) {
        std::fprintf(stderr, "quorvale-help-picture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

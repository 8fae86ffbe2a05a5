// quorvale-icons: draws the program's icon for the desktop's icon theme, as an SVG and as a PNG at
// each size, from the same design as the window icon.
//   quorvale-icons OUTDIR NAME SIZE...   writes OUTDIR/hicolor/scalable/apps/NAME.svg and
//                                        OUTDIR/hicolor/SIZExSIZE/apps/NAME.png
#include "runcharticon.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <iostream>

namespace {

QString svgPoints(const std::vector<QPoint>& points)
{
    QStringList pairs;
    for (const QPoint& point : points)
        pairs << QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
    return pairs.join(QLatin1Char(' '));
}

// Pixel centres lie half a unit in, as the window icon's lines cover whole pixels.
QString svgDocument()
{
    using namespace quorvale;
    const QRect sheet = runChartSheet();
    QString svg;
    QTextStream out(&svg);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << RunChartDesignSize << "\" height=\""
        << RunChartDesignSize << "\" viewBox=\"0 0 " << RunChartDesignSize << ' ' << RunChartDesignSize << "\">\n"
        << "  <g transform=\"translate(0.5 0.5)\" fill=\"none\" stroke-linejoin=\"bevel\">\n"
        << "    <rect x=\"" << sheet.x() << "\" y=\"" << sheet.y() << "\" width=\"" << sheet.width() << "\" height=\""
        << sheet.height() << "\" fill=\"#ffffff\" stroke=\"#000000\"/>\n";
    for (const RunChartStroke& stroke : runChartStrokes()) {
        out << "    <polyline points=\"" << svgPoints(stroke.points) << "\" stroke=\"" << stroke.colour.name()
            << "\" stroke-width=\"" << stroke.width << '"';
        // Qt's dash line: four widths drawn, two left out.
        if (stroke.dashed)
            out << " stroke-dasharray=\"" << 4 * stroke.width << ' ' << 2 * stroke.width << '"';
        out << "/>\n";
    }
    out << "  </g>\n</svg>\n";
    return svg;
}

bool writeSvg(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = svgDocument().toUtf8();
    return file.write(bytes) == bytes.size();
}

QString themeFolder(const QString& outDir, const QString& size)
{
    const QString folder = QStringLiteral("%1/hicolor/%2/apps").arg(outDir, size);
    QDir().mkpath(folder);
    return folder;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::cerr << "usage: quorvale-icons OUTDIR NAME SIZE...\n";
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    if (!writeSvg(QStringLiteral("%1/%2.svg").arg(themeFolder(outDir, QStringLiteral("scalable")), name))) {
        std::cerr << "quorvale-icons: cannot write the SVG icon\n";
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        const QString folder = themeFolder(outDir, QStringLiteral("%1x%1").arg(size));
        if (size <= 0 || !quorvale::runChartImage(size).save(QStringLiteral("%1/%2.png").arg(folder, name), "PNG")) {
            std::cerr << "quorvale-icons: cannot write the " << argv[i] << " pixel icon\n";
            return 1;
        }
    }
    return 0;
}

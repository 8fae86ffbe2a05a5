#include "pagesetupchoice.h"

#include "papersizes.h"
#include "windows1252.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorvale {

namespace {

// Nearest integer with halves to the even neighbour, held within 16 bits.
std::int16_t toInt16(double value)
{
    constexpr double low = std::numeric_limits<std::int16_t>::min();
    constexpr double high = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(std::nearbyint(value), low, high));
}

} // namespace

double leadingNumber(QStringView text)
{
    QString number;
    bool seenPoint = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        const bool sign = (c == u'-' || c == u'+') && number.isEmpty();
        const bool point = c == u'.' && !seenPoint;
        if (!sign && !point && !(c >= u'0' && c <= u'9'))
            break;
        seenPoint = seenPoint || point;
        number += c;
    }
    bool ok = false;
    const double value = number.toDouble(&ok); // QString::toDouble ignores the locale
    return ok ? value : 0.0;
}

PageSetup chosenPageSetup(const QString& font, const QString& fontSize, const QString& rotation,
                          const QString& pageSize)
{
    PageSetup setup{encodeWindows1252(font.toStdString()), toInt16(leadingNumber(fontSize)),
                    toInt16(leadingNumber(rotation)), static_cast<float>(leadingNumber(pageSize)),
                    static_cast<float>(leadingNumber(pageSize.right(3)))};
    // "A4 (210 x 297 mm)": the size in millimetres between the parentheses.
    if (pageSize.endsWith(QStringLiteral(" mm)"))) {
        const QStringView size = QStringView(pageSize).mid(pageSize.indexOf(QLatin1Char('(')) + 1);
        setup.width = inchesFromMillimetres(leadingNumber(size));
        setup.height = inchesFromMillimetres(leadingNumber(size.mid(size.indexOf(QLatin1Char('x')) + 1)));
    }
    return setup;
}

} // namespace quorvale

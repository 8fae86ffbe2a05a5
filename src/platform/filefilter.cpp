#include "filefilter.h"

namespace quorvale {

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses; add them unless the description shows them already.
        const QString shown = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters << (description.endsWith(shown) ? description : description + QLatin1Char(' ') + shown);
    }
    return filters;
}

} // namespace quorvale

// Turns a "description|pattern|description|pattern" filter into Qt's name filters.
#pragma once

#include <QStringList>

namespace quorvale {

QStringList qtNameFilters(const QString& filter);

} // namespace quorvale

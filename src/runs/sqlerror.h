// The reason a database gave, in one line: the engine's own words where it has them.
#pragma once

#include <QSqlError>
#include <QString>

namespace quorvale {

inline QString SqlReason(const QSqlError& error)
{
    const QString text = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return text.simplified();
}

} // namespace quorvale

// The reason a database gave, in one line: the engine's own words where it has them.
#pragma once

#include "result.h"

#include <QSqlError>
#include <QString>

namespace quorvale {

inline QString SqlReason(const QSqlError& error)
{
    const QString text = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return text.simplified();
}

// The failure a database reported; one it gave no words for is still a failure.
inline Result SqlFailure(const QSqlError& error)
{
    const QString text = SqlReason(error);
    return Result::failure(text.isEmpty() ? std::string("the database failed without giving a reason")
                                          : text.toStdString());
}

} // namespace quorvale

#include "lastrun.h"

#include "runsdatabase.h"

#include <QFile>
#include <QSaveFile>

namespace quorvale {

QString LastRunPath(const QString& database, const QString& userDatabase)
{
    return (IsServerDatabase(database) ? userDatabase : database) + QStringLiteral(".lastrun");
}

// Two lines: the database, then the run's id.
std::optional<RunId> ReadLastRun(const QString& path, const QString& database)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> lines = file.readAll().split('\n');
    bool number = false;
    const RunId run = lines.value(1).toLongLong(&number);
    if (lines.size() < 2 || QString::fromUtf8(lines[0]) != database || !number)
        return std::nullopt;
    return run;
}

QString WriteLastRun(const QString& path, const QString& database, RunId run)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(database.toUtf8() + '\n' + QByteArray::number(run) + '\n') < 0 ||
        !file.commit())
        return QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
    return {};
}

} // namespace quorvale

#include "lastrun.h"

#include "privatefolder.h"

#include <QFile>
#include <QList>

namespace quorvale {

QString LastRunPath(const QString& dataFolder, const DatabaseIdentity& database)
{
    return dataFolder + QStringLiteral("/lastrun-") + database.key();
}

// Two lines: the database's identity, then the run's id.
std::optional<RunId> ReadLastRun(const QString& path, const DatabaseIdentity& database)
{
    std::string bytes;
    if (!ReadPrivateFile(QFile::encodeName(path).toStdString(), bytes))
        return std::nullopt;
    const QList<QByteArray> lines = QByteArray::fromStdString(bytes).split('\n');
    bool number = false;
    const RunId run = lines.value(1).toLongLong(&number);
    if (lines.size() < 2 || QString::fromUtf8(lines[0]) != database.text || !number || run <= 0)
        return std::nullopt;
    return run;
}

Result WriteLastRun(const QString& path, const DatabaseIdentity& database, RunId run)
{
    return WritePrivateFile(QFile::encodeName(path).toStdString(),
                            database.text.toStdString() + '\n' + std::to_string(run) + '\n');
}

} // namespace quorvale

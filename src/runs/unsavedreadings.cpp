#include "unsavedreadings.h"

#include "recordcolumns.h"
#include "runsdatabase.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace quorvale {

QString UnsavedJournalPath(const QString& database, const QString& userDatabase)
{
    return (IsServerDatabase(database) ? userDatabase : database) + QStringLiteral(".unsaved");
}

QString WriteUnsavedJournal(const QString& path, const UnsavedReadings& unsaved)
{
    if (unsaved.readings.empty()) {
        QFile::remove(path);
        return {};
    }
    QJsonObject record;
    for (const RecordColumn& column : RecordColumns)
        record.insert(QLatin1String(column.name), QString::fromStdString(unsaved.record.*column.field));
    record.insert(QStringLiteral("readings_are_deviations"), unsaved.record.ReadingsAreDeviations);
    QJsonArray readings;
    for (const Reading& reading : unsaved.readings)
        readings.append(QJsonObject{{QStringLiteral("at"), qint64(reading.loggedAt.at)},
                                    {QStringLiteral("offset"), reading.loggedAt.utcOffset},
                                    {QStringLiteral("value"), QString::fromStdString(reading.value.text())}});
    const QJsonObject journal{{QStringLiteral("database"), unsaved.database},
                              {QStringLiteral("run"), qint64(unsaved.run)},
                              {QStringLiteral("record"), record},
                              {QStringLiteral("readings"), readings}};
    // Written beside and renamed over, so that a cut-off write leaves the older journal.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(journal).toJson()) < 0 || !file.commit())
        return QStringLiteral("the journal %1 cannot be written: %2").arg(path, file.errorString());
    return {};
}

std::optional<UnsavedReadings> ReadUnsavedJournal(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject journal = QJsonDocument::fromJson(file.readAll()).object();
    if (journal.isEmpty())
        return std::nullopt;
    UnsavedReadings unsaved;
    unsaved.database = journal.value(QStringLiteral("database")).toString();
    unsaved.run = journal.value(QStringLiteral("run")).toInteger();
    const QJsonObject record = journal.value(QStringLiteral("record")).toObject();
    for (const RecordColumn& column : RecordColumns)
        unsaved.record.*column.field = record.value(QLatin1String(column.name)).toString().toStdString();
    unsaved.record.ReadingsAreDeviations = record.value(QStringLiteral("readings_are_deviations")).toBool();
    for (const QJsonValue& value : journal.value(QStringLiteral("readings")).toArray()) {
        const QJsonObject reading = value.toObject();
        // A value that is no number comes back empty, and the store refuses it by name.
        const auto kept = Decimal::parse(reading.value(QStringLiteral("value")).toString().toStdString());
        unsaved.readings.push_back(
            {{reading.value(QStringLiteral("at")).toInteger(), reading.value(QStringLiteral("offset")).toInt()},
             kept.value_or(Decimal())});
    }
    return unsaved;
}

Result SaveUnsavedReadings(RunStore& store, UnsavedReadings& unsaved)
{
    if (unsaved.readings.empty())
        return {};
    if (unsaved.run == 0) {
        const Reading& first = unsaved.readings.front();
        if (Result created = store.createRun(unsaved.record, first.loggedAt, unsaved.run); !created)
            return created;
    }
    // Each keeps the time it was logged at; written one by one, so what is written stays written.
    while (!unsaved.readings.empty()) {
        const Reading& reading = unsaved.readings.front();
        int number = 0;
        if (Result logged = store.logReading(unsaved.run, reading.value, reading.loggedAt, number); !logged)
            return logged;
        unsaved.readings.erase(unsaved.readings.begin());
    }
    return {};
}

} // namespace quorvale

#include "outboxrecords.h"

#include "recordcolumns.h"

#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

namespace quorvale {

namespace {

constexpr qsizetype HeaderSize = 6; // the length (4 bytes) and the checksum (2 bytes)
constexpr char ChangeType = 'C';
constexpr char RunType = 'R';
constexpr char MarkType = 'M';

QDataStream& operator<<(QDataStream& out, const std::string& text)
{
    return out << QByteArray::fromStdString(text);
}

QDataStream& operator>>(QDataStream& in, std::string& text)
{
    QByteArray bytes;
    in >> bytes;
    text = bytes.toStdString();
    return in;
}

QDataStream& operator<<(QDataStream& out, const Reading& reading)
{
    return out << qint64(reading.loggedAt.at) << qint32(reading.loggedAt.utcOffset) << reading.value.text();
}

QDataStream& operator>>(QDataStream& in, Reading& reading)
{
    qint64 at = 0;
    qint32 offset = 0;
    std::string value;
    in >> at >> offset >> value;
    reading.loggedAt = {at, offset};
    // Written from a Decimal; a value that is no number comes back empty, and the store refuses it.
    reading.value = Decimal::parse(value).value_or(Decimal());
    return in;
}

QDataStream& operator<<(QDataStream& out, Moment moment)
{
    return out << qint64(moment.at) << qint32(moment.utcOffset);
}

QDataStream& operator>>(QDataStream& in, Moment& moment)
{
    qint64 at = 0;
    qint32 offset = 0;
    in >> at >> offset;
    moment = {at, offset};
    return in;
}

QDataStream& operator<<(QDataStream& out, const RunChartRecord& record)
{
    for (const RecordColumn& column : RecordColumns)
        out << record.*column.field;
    return out << record.ReadingsAreDeviations;
}

QDataStream& operator>>(QDataStream& in, RunChartRecord& record)
{
    for (const RecordColumn& column : RecordColumns)
        in >> record.*column.field;
    return in >> record.ReadingsAreDeviations;
}

// The run rules close a record that holds a run's record: an outbox written before they were kept
// ends there without them, and its runs keep the default.
void writeRules(QDataStream& out, const RunChartRecord& record)
{
    out << qint8(record.Rules);
}

void readRules(QDataStream& in, RunChartRecord& record)
{
    if (in.atEnd())
        return;
    qint8 rules = 0;
    in >> rules;
    record.Rules = rules == qint8(RunRules::Anhoj) ? RunRules::Anhoj : RunRules::ShiftAndTrend;
}

void write(QDataStream& out, const RunChange& change)
{
    out << qint8(ChangeType) << change.id << change.runKey << qint8(change.kind) << change.at << change.readingKey
        << change.reading << change.record;
    writeRules(out, change.record);
}

void write(QDataStream& out, const StoredRun& run)
{
    out << qint8(RunType) << qint64(run.id) << run.key << run.record << run.finished << run.started
        << qint32(run.lastNumber) << quint32(run.readings.size());
    for (const StoredReading& reading : run.readings)
        out << qint32(reading.number) << reading.reading << reading.key;
    writeRules(out, run.record);
}

void write(QDataStream& out, const SentMark& mark)
{
    out << qint8(MarkType) << quint64(mark.changes);
}

bool read(QDataStream& in, OutboxRecord& record)
{
    qint8 type = 0;
    in >> type;
    if (type == ChangeType) {
        RunChange change;
        qint8 kind = 0;
        in >> change.id >> change.runKey >> kind >> change.at >> change.readingKey >> change.reading >> change.record;
        readRules(in, change.record);
        if (kind < qint8(RunChangeKind::StartRun) || kind > qint8(RunChangeKind::Finish))
            return false;
        change.kind = RunChangeKind(kind);
        record = std::move(change);
    } else if (type == RunType) {
        StoredRun run;
        qint64 id = 0;
        qint32 lastNumber = 0;
        quint32 count = 0;
        in >> id >> run.key >> run.record >> run.finished >> run.started >> lastNumber >> count;
        run.id = id;
        run.lastNumber = lastNumber;
        for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
            qint32 number = 0;
            StoredReading reading;
            in >> number >> reading.reading >> reading.key;
            reading.number = number;
            run.readings.push_back(std::move(reading));
        }
        readRules(in, run.record);
        record = std::move(run);
    } else if (type == MarkType) {
        quint64 changes = 0;
        in >> changes;
        record = SentMark{changes};
    } else {
        return false;
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

} // namespace

QByteArray EncodeRecord(const OutboxRecord& record)
{
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        std::visit([&](const auto& each) { write(out, each); }, record);
    }
    QByteArray bytes(HeaderSize, '\0');
    qToLittleEndian(quint32(payload.size()), bytes.data());
    qToLittleEndian(qChecksum(payload), bytes.data() + 4);
    return bytes + payload;
}

RecordEnd DecodeRecord(const QByteArray& bytes, qsizetype& offset, OutboxRecord& record)
{
    if (bytes.size() - offset < HeaderSize)
        return RecordEnd::CutShort;
    const qsizetype size = qFromLittleEndian<quint32>(bytes.constData() + offset);
    if (bytes.size() - offset - HeaderSize < size)
        return RecordEnd::CutShort;
    const QByteArray payload = bytes.mid(offset + HeaderSize, size);
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_0);
    if (qChecksum(payload) != qFromLittleEndian<quint16>(bytes.constData() + offset + 4) || !read(in, record)) {
        // The last record's length may reach the disk before its bytes do.
        return offset + HeaderSize + size == bytes.size() ? RecordEnd::CutShort : RecordEnd::Damaged;
    }
    offset += HeaderSize + size;
    return RecordEnd::Whole;
}

} // namespace quorvale

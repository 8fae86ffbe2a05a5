#include "runmodel.h"

#include "newrun.h"
#include "runcommands.h"

#include <QBrush>
#include <QDateTime>
#include <QFont>

#include <algorithm>

namespace quorvale {

namespace {

const QColor OutsideRed(255, 0, 0);

QDate dayOf(const Reading& reading)
{
    return QDateTime::fromSecsSinceEpoch(reading.loggedAt.at + reading.loggedAt.utcOffset, Qt::UTC).date();
}

} // namespace

RunState NewRunState(const RunChartRecord& record)
{
    RunState state;
    state.key = NewIdentity();
    state.record = record;
    state.record.Readings.clear();
    return state;
}

RunModel::RunModel(QObject* parent) : QAbstractTableModel(parent), m_state(NewRunState(DefaultRunChartRecord()))
{
    updateLimits();
}

RunModel::~RunModel() = default;

RunChartRecord RunModel::recordWithReadings() const
{
    RunChartRecord record = m_state.record;
    record.Readings.reserve(m_state.readings.size());
    for (const RunReading& reading : m_state.readings)
        record.Readings.push_back(reading.reading);
    return record;
}

std::optional<int> RunModel::rowOf(const std::string& key) const
{
    const auto& readings = m_state.readings;
    // From the end: commands mostly touch the newest readings.
    const auto found =
        std::find_if(readings.rbegin(), readings.rend(), [&](const RunReading& reading) { return reading.key == key; });
    if (found == readings.rend())
        return std::nullopt;
    return int(readings.rend() - found) - 1;
}

bool RunModel::isOutside(int row) const
{
    return m_limits && m_limits->outside(m_values[std::size_t(row)]);
}

const RunStatistics& RunModel::statistics() const
{
    if (!m_statistics)
        m_statistics = StatisticsOf(m_values, m_limits, m_state.record.Rules);
    return *m_statistics;
}

void RunModel::logReading(const Reading& reading)
{
    RunReading logged{NewIdentity(), reading};
    if (!m_state.finished) {
        m_undo.push(new LogReadingCommand(*this, std::move(logged)));
        return;
    }
    // The finished run stays as it was finished: the reading starts the next one.
    m_undo.beginMacro(QStringLiteral("Log Reading"));
    m_undo.push(new NewRunCommand(*this, NewRunState(RecordDatedOn(m_state.record, dayOf(reading)))));
    m_undo.push(new LogReadingCommand(*this, std::move(logged)));
    m_undo.endMacro();
}

void RunModel::editReading(const std::string& key, const Reading& reading)
{
    const std::optional<int> row = rowOf(key);
    if (!row || m_state.readings[std::size_t(*row)].reading == reading)
        return;
    m_undo.push(new EditReadingCommand(*this, key, m_state.readings[std::size_t(*row)].reading, reading));
}

void RunModel::removeReadings(const std::vector<std::string>& keys)
{
    std::vector<std::pair<int, RunReading>> rows;
    for (const std::string& key : keys)
        if (const std::optional<int> row = rowOf(key))
            rows.emplace_back(*row, m_state.readings[std::size_t(*row)]);
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_undo.push(new RemoveReadingsCommand(*this, std::move(rows)));
}

void RunModel::changeRecord(const RunChartRecord& record)
{
    RunChartRecord after = record;
    after.Readings.clear();
    if (after == m_state.record)
        return;
    // Named after the one choice changed, where that is all that changed.
    const auto onlyChanged = [&](auto RunChartRecord::*field) {
        RunChartRecord same = after;
        same.*field = m_state.record.*field;
        return same == m_state.record;
    };
    QString text = QStringLiteral("Change Record");
    if (onlyChanged(&RunChartRecord::ReadingsAreDeviations))
        text = after.ReadingsAreDeviations ? QStringLiteral("Readings Are Deviations From Check")
                                           : QStringLiteral("Readings Are Sizes");
    else if (onlyChanged(&RunChartRecord::Rules))
        text =
            after.Rules == RunRules::Anhoj ? QStringLiteral("Anh\u00F8j's Rules") : QStringLiteral("Shift and Trend");
    m_undo.push(new ChangeRecordCommand(*this, text, m_state.record, std::move(after)));
}

void RunModel::setReadingsAreDeviations(bool deviations)
{
    RunChartRecord record = m_state.record;
    record.ReadingsAreDeviations = deviations;
    changeRecord(record);
}

void RunModel::setRunRules(RunRules rules)
{
    RunChartRecord record = m_state.record;
    record.Rules = rules;
    changeRecord(record);
}

void RunModel::startNewRun(const RunChartRecord& record)
{
    m_undo.push(new NewRunCommand(*this, NewRunState(record)));
}

void RunModel::finish()
{
    if (m_state.started && !m_state.finished) {
        send(RunChangeKind::Finish);
        if (!handOver())
            return;
    }
    m_undo.clear();
    m_state.finished = true;
    afterChange();
}

void RunModel::open(RunState state)
{
    m_undo.clear();
    state.finished = false;
    replaceState(std::move(state));
    afterChange();
}

void RunModel::insertReading(int row, const RunReading& reading, RunChangeKind kind)
{
    if (!m_state.started) {
        m_state.started = true;
        send(RunChangeKind::StartRun, reading);
    }
    beginInsertRows({}, row, row);
    m_state.readings.insert(m_state.readings.begin() + row, reading);
    m_values.insert(m_values.begin() + row, reading.reading.value);
    endInsertRows();
    send(kind, reading);
}

void RunModel::takeReading(int row)
{
    beginRemoveRows({}, row, row);
    const RunReading taken = std::move(m_state.readings[std::size_t(row)]);
    m_state.readings.erase(m_state.readings.begin() + row);
    m_values.erase(m_values.begin() + row);
    endRemoveRows();
    send(RunChangeKind::RemoveReading, taken);
}

void RunModel::replaceReading(int row, const Reading& reading)
{
    RunReading& kept = m_state.readings[std::size_t(row)];
    kept.reading = reading;
    m_values[std::size_t(row)] = reading.value;
    emit dataChanged(index(row, TimeColumn), index(row, ValueColumn));
    send(RunChangeKind::EditReading, kept);
}

void RunModel::replaceRecord(const RunChartRecord& record)
{
    m_state.record = record;
    updateLimits();
    if (!m_state.readings.empty())
        emit dataChanged(index(0, TimeColumn), index(rowCount() - 1, ValueColumn));
    emit recordChanged();
    if (m_state.started)
        send(RunChangeKind::ChangeRecord);
}

void RunModel::replaceState(RunState state)
{
    beginResetModel();
    m_state = std::move(state);
    m_values.clear();
    m_values.reserve(m_state.readings.size());
    for (const RunReading& reading : m_state.readings)
        m_values.push_back(reading.reading.value);
    updateLimits();
    endResetModel();
    emit recordChanged();
}

void RunModel::send(RunChangeKind kind, const RunReading& reading)
{
    if (!m_sink)
        return;
    RunChange& change = m_made.emplace_back();
    change.id = NewIdentity();
    change.runKey = m_state.key;
    change.kind = kind;
    change.at = m_clock();
    switch (kind) {
    case RunChangeKind::StartRun:
        // The run started when its first reading arrived.
        change.at = reading.reading.loggedAt;
        change.record = m_state.record;
        break;
    case RunChangeKind::ChangeRecord:
        change.record = m_state.record;
        break;
    case RunChangeKind::LogReading:
    case RunChangeKind::EditReading:
    case RunChangeKind::PutBackReading:
        change.reading = reading.reading;
        [[fallthrough]];
    case RunChangeKind::RemoveReading:
        change.readingKey = reading.key;
        break;
    case RunChangeKind::Finish:
        break;
    }
}

bool RunModel::handOver()
{
    const std::vector<RunChange> sent = std::exchange(m_made, {});
    return sent.empty() || m_sink(sent);
}

void RunModel::afterChange()
{
    m_statistics.reset();
    emit changed();
}

void RunModel::updateLimits()
{
    m_limits = RunLimits(m_state.record);
    m_limitDecimals = LimitDecimals(m_state.record);
}

int RunModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_state.readings.size());
}

int RunModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant RunModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const RunReading& reading = m_state.readings[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(index.column() == TimeColumn ? TimeOfDayText(reading.reading.loggedAt)
                                                                   : reading.reading.value.text());
    case KeyRole:
        return QString::fromStdString(reading.key);
    case OutsideRole:
        return isOutside(index.row());
    case Qt::FontRole: {
        if (!isOutside(index.row()))
            return {};
        QFont font;
        font.setBold(true);
        return font;
    }
    case Qt::ForegroundRole:
        return isOutside(index.row()) ? QVariant(QBrush(OutsideRed)) : QVariant();
    default:
        return {};
    }
}

QVariant RunModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == TimeColumn ? QStringLiteral("Date/Time") : QStringLiteral("Tolerance");
}

Qt::ItemFlags RunModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable : Qt::NoItemFlags;
}

bool RunModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const RunReading& kept = m_state.readings[std::size_t(index.row())];
    const std::string typed = value.toString().toStdString();
    Reading reading = kept.reading;
    if (index.column() == TimeColumn) {
        // The reading keeps its day; only its time of day changes.
        const std::optional<int> second = ParseClockTime(typed);
        if (!second)
            return false;
        reading.loggedAt = AtSecondOfDay(reading.loggedAt, *second);
    } else {
        const std::optional<Decimal> number = ReadingValue(typed);
        if (!number)
            return false;
        reading.value = *number;
    }
    editReading(kept.key, reading);
    return true;
}

} // namespace quorvale

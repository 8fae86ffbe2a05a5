// The open run: its record (the fields and the deviations choice), its readings, each with an
// identity it keeps through edits, removal and undo, and what the readings tell now (limits,
// statistics, signals). It is the item model the grid shows, one row per reading.
//
// Every change is a command on the model's undo stack. Each thing a command does, undoes or redoes
// is one RunChange; a command's changes go out together to the change sink, the one seam through
// which the store follows the model. A sink that refuses them has the command take back what it did:
// the window never shows a change that was not kept. A run reaches the store with its first reading
// (StartRun, then LogReading), so that an empty run is never kept.
#pragma once

#include "readingstats.h"
#include "result.h"
#include "runchange.h"
#include "runchartrecord.h"

#include <QAbstractTableModel>
#include <QUndoStack>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quorvale {

struct RunReading {
    std::string key; // made when the reading arrived, kept for its life
    Reading reading;

    bool operator==(const RunReading&) const = default;
};

// All the run is, as a command saves and brings it back.
struct RunState {
    std::string key;
    RunChartRecord record; // its Readings are not used
    std::vector<RunReading> readings;
    bool started = false; // the store has it
    bool finished = false;

    bool operator==(const RunState&) const = default;
};

class RunModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    // Keeps the changes of one command, all or none; a failure's reason is why they were not kept.
    using ChangeSink = std::function<Result(std::span<const RunChange>)>;
    using Clock = std::function<Moment()>;

    enum Column { TimeColumn, ValueColumn };
    enum Role {
        KeyRole = Qt::UserRole, // the reading's identity
        OutsideRole,            // whether it lies outside the limits
    };

    explicit RunModel(QObject* parent = nullptr);
    ~RunModel() override;

    // Where every change goes as it is done, undone or redone; nowhere when unset (kept).
    void setChangeSink(ChangeSink sink) { m_sink = std::move(sink); }
    // When changes are made; now unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    const RunState& state() const { return m_state; }
    const std::string& runKey() const { return m_state.key; }
    const RunChartRecord& record() const { return m_state.record; }
    const std::vector<RunReading>& readings() const { return m_state.readings; }
    bool isFinished() const { return m_state.finished; }
    // The record with the readings, as the outputs take it.
    RunChartRecord recordWithReadings() const;
    std::optional<int> rowOf(const std::string& key) const;

    const std::optional<ToleranceLimits>& limits() const { return m_limits; }
    int limitDecimals() const { return m_limitDecimals; }
    bool isOutside(int row) const;
    // Worked out when first asked after a change.
    const RunStatistics& statistics() const;

    QUndoStack& undoStack() { return m_undo; }

    // The commands. A reading for a finished run starts a new run with the same record first.
    void logReading(const Reading& reading);
    void editReading(const std::string& key, const Reading& reading);
    void removeReadings(const std::vector<std::string>& keys);
    void changeRecord(const RunChartRecord& record);
    void setReadingsAreDeviations(bool deviations);
    void setRunRules(RunRules rules);
    // An empty run with this record; the run before is left as it is, open.
    void startNewRun(const RunChartRecord& record);
    // Not undoable: a finished run takes no more changes, so the undo history goes with it. A run
    // whose Finish the sink refuses stays open.
    void finish();

    // Shows a run as it is kept (opened, or brought back at start), open; the undo history goes.
    void open(RunState state);

    // The item model: the time of day and the value of each reading.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of a time (as the grid's editor parses it) or a value, as a command.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // After every change, once: what the run tells may differ now.
    void changed();
    // The record or the deviations choice changed, or another run came.
    void recordChanged();

private:
    friend class RunEdit;

    // What the commands do, each sending its changes.
    void insertReading(int row, const RunReading& reading, RunChangeKind kind);
    void takeReading(int row);
    void replaceReading(int row, const Reading& reading);
    void replaceRecord(const RunChartRecord& record);
    void replaceState(RunState state);
    void markFinished();
    // Adds the change of this kind to the run as it is now to those of the command; reading for the
    // reading kinds.
    void send(RunChangeKind kind, const RunReading& reading = {});
    // Hands the command's changes to the sink; false when it refused them.
    bool handOver();
    // The command took back what it did: its changes go unsent, and a run the store never had
    // stays so.
    void dropMade(bool started)
    {
        m_made.clear();
        m_state.started = started;
    }
    void afterChange();
    void updateLimits();

    RunState m_state;
    std::vector<Decimal> m_values; // the readings' values, row by row
    std::optional<ToleranceLimits> m_limits;
    int m_limitDecimals = 0;
    mutable std::optional<RunStatistics> m_statistics;
    std::vector<RunChange> m_made; // the command's changes, until the sink has them
    ChangeSink m_sink;
    Clock m_clock = &Moment::now;
    QUndoStack m_undo;
};

// The run as a model starts it: a fresh key, the record without readings.
RunState NewRunState(const RunChartRecord& record);

} // namespace quorvale

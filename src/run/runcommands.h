// The commands that change a run, as its undo stack keeps them. Each keeps what it needs to undo
// itself and nothing more; the model sends the store its changes.
#pragma once

#include "runmodel.h"

#include <QUndoCommand>

#include <utility>
#include <vector>

namespace quorvale {

// What every command may do to the model. A command does its work forward and takes it back
// backward; what the change sink refuses is taken back at once, and the command leaves the stack.
class RunEdit : public QUndoCommand {
public:
    void redo() final { run(&RunEdit::forward, &RunEdit::backward); }
    void undo() final { run(&RunEdit::backward, &RunEdit::forward); }

protected:
    RunEdit(RunModel& model, const QString& text) : QUndoCommand(text), m_model(model) {}
    virtual void forward() = 0;
    virtual void backward() = 0;

    void insertReading(int row, const RunReading& reading, RunChangeKind kind)
    {
        m_model.insertReading(row, reading, kind);
    }
    void takeReading(int row) { m_model.takeReading(row); }
    void replaceReading(const std::string& key, const Reading& reading)
    {
        m_model.replaceReading(*m_model.rowOf(key), reading);
    }
    void replaceRecord(const RunChartRecord& record) { m_model.replaceRecord(record); }
    void replaceState(RunState state) { m_model.replaceState(std::move(state)); }

    RunModel& m_model;

private:
    void run(void (RunEdit::*step)(), void (RunEdit::*back)())
    {
        const bool started = m_model.state().started;
        (this->*step)();
        if (!m_model.handOver()) {
            (this->*back)();
            m_model.dropMade(started);
            setObsolete(true);
        }
        m_model.afterChange();
    }
};

class LogReadingCommand final : public RunEdit {
public:
    LogReadingCommand(RunModel& model, RunReading reading);
    void forward() override;
    void backward() override;

private:
    RunReading m_reading;
    bool m_logged = false;
};

class EditReadingCommand final : public RunEdit {
public:
    EditReadingCommand(RunModel& model, std::string key, Reading before, Reading after);
    void forward() override;
    void backward() override;

private:
    std::string m_key;
    Reading m_before;
    Reading m_after;
};

class RemoveReadingsCommand final : public RunEdit {
public:
    // rows: in ascending order.
    RemoveReadingsCommand(RunModel& model, std::vector<std::pair<int, RunReading>> rows);
    void forward() override;
    void backward() override;

private:
    std::vector<std::pair<int, RunReading>> m_rows;
};

class ChangeRecordCommand final : public RunEdit {
public:
    ChangeRecordCommand(RunModel& model, const QString& text, RunChartRecord before, RunChartRecord after);
    void forward() override;
    void backward() override;

private:
    RunChartRecord m_before;
    RunChartRecord m_after;
};

// Swaps the run shown for another: the one it left comes back as it was left.
class NewRunCommand final : public RunEdit {
public:
    NewRunCommand(RunModel& model, RunState next);
    void forward() override;
    void backward() override;

private:
    void swap();

    RunState m_other;
};

} // namespace quorvale

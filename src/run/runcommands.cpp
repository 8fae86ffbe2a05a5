#include "runcommands.h"

namespace quorvale {

LogReadingCommand::LogReadingCommand(RunModel& model, RunReading reading)
    : RunEdit(model, QStringLiteral("Log Reading")), m_reading(std::move(reading))
{
}

void LogReadingCommand::forward()
{
    // Undone, the reading left the run; done again, the same reading is back.
    insertReading(m_model.rowCount(), m_reading,
                  std::exchange(m_logged, true) ? RunChangeKind::PutBackReading : RunChangeKind::LogReading);
}

void LogReadingCommand::backward()
{
    takeReading(m_model.rowCount() - 1);
}

EditReadingCommand::EditReadingCommand(RunModel& model, std::string key, Reading before, Reading after)
    : RunEdit(model, QStringLiteral("Edit Reading")), m_key(std::move(key)), m_before(std::move(before)),
      m_after(std::move(after))
{
}

void EditReadingCommand::forward()
{
    replaceReading(m_key, m_after);
}

void EditReadingCommand::backward()
{
    replaceReading(m_key, m_before);
}

RemoveReadingsCommand::RemoveReadingsCommand(RunModel& model, std::vector<std::pair<int, RunReading>> rows)
    : RunEdit(model, rows.size() == 1 ? QStringLiteral("Remove Reading")
                                      : QStringLiteral("Remove %1 Readings").arg(rows.size())),
      m_rows(std::move(rows))
{
}

void RemoveReadingsCommand::forward()
{
    for (auto row = m_rows.rbegin(); row != m_rows.rend(); ++row)
        takeReading(row->first);
}

void RemoveReadingsCommand::backward()
{
    for (const auto& [row, reading] : m_rows)
        insertReading(row, reading, RunChangeKind::PutBackReading);
}

ChangeRecordCommand::ChangeRecordCommand(RunModel& model, const QString& text, RunChartRecord before,
                                         RunChartRecord after)
    : RunEdit(model, text), m_before(std::move(before)), m_after(std::move(after))
{
}

void ChangeRecordCommand::forward()
{
    replaceRecord(m_after);
}

void ChangeRecordCommand::backward()
{
    replaceRecord(m_before);
}

NewRunCommand::NewRunCommand(RunModel& model, RunState next)
    : RunEdit(model, QStringLiteral("New Run")), m_other(std::move(next))
{
}

void NewRunCommand::swap()
{
    RunState left = m_model.state();
    replaceState(std::move(m_other));
    m_other = std::move(left);
}

void NewRunCommand::forward()
{
    swap();
}

void NewRunCommand::backward()
{
    swap();
}

} // namespace quorvale

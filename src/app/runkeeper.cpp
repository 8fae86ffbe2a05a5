#include "runkeeper.h"

#include "form1.h"
#include "lastrun.h"
#include "newrun.h"
#include "openrunwindow.h"
#include "readingsgrid.h"
#include "runmodel.h"
#include "runsdatabase.h"

namespace quorvale {

namespace {

constexpr int RetryMilliseconds = 5000;

bool logsAReading(const RunChange& change)
{
    return change.kind == RunChangeKind::LogReading || change.kind == RunChangeKind::PutBackReading;
}

} // namespace

RunKeeper::RunKeeper(Form1& form, QString database, RunsDataFolder dataFolder)
    : m_form(form), m_model(form.run()), m_grid(form.readingsGrid()), m_database(std::move(database)),
      m_dataFolder(std::move(dataFolder)), m_journal(UnsavedJournalPath(m_database, m_dataFolder.databaseFile()))
{
    if (m_database.isEmpty())
        return;
    m_retry.setInterval(RetryMilliseconds);
    connect(&m_retry, &QTimer::timeout, this, &RunKeeper::writeWaiting);
    connect(&m_form, &Form1::openRunRequested, this, &RunKeeper::chooseRun);
    m_model.setChangeSink([this](const RunChange& change) { take(change); });
}

RunKeeper::~RunKeeper()
{
    m_model.setChangeSink({});
}

Result RunKeeper::openStore()
{
    if (m_store)
        return {};
    if (m_database == m_dataFolder.databaseFile()) {
        if (Result made = MakeUserDatabase(m_dataFolder); !made)
            return Result::failure("The runs database " + m_database.toStdString() + " cannot be used: " + made.reason +
                                   ".");
    }
    QString why;
    m_store = RunStore::open(m_database, why);
    return m_store ? Result{} : Result::failure(why.toStdString());
}

RunId RunKeeper::run() const
{
    const auto found = m_runs.find(m_model.runKey());
    return found == m_runs.end() ? 0 : found->second;
}

void RunKeeper::restore(QDate today)
{
    if (m_database.isEmpty()) {
        report(m_dataFolder.usable);
        return;
    }
    const Result opened = openStore();
    if (auto unsaved = ReadUnsavedJournal(m_journal); unsaved && unsaved->database == m_database) {
        const Result saved = opened ? SaveUnsavedReadings(*m_store, *unsaved) : opened;
        WriteUnsavedJournal(m_journal, *unsaved);
        if (saved)
            setRun(unsaved->run);
        else {
            // What the database did not take comes back into the window, marked, as it was left: logged
            // again into the run it belongs to, it waits for the database as it did before.
            RunState state = NewRunState(unsaved->record);
            if (unsaved->run != 0) {
                state.started = true;
                m_runs[state.key] = unsaved->run;
            }
            m_model.open(std::move(state));
            report(saved);
            for (const Reading& reading : unsaved->readings)
                m_model.logReading(reading);
            m_model.undoStack().clear();
            return;
        }
    }
    // This station's own last run; the newest of the file where none is remembered yet, as it is the
    // user's own.
    DatabaseIdentity identity;
    const QString note = lastRunNote(identity);
    std::optional<RunId> last = note.isEmpty() ? std::nullopt : ReadLastRun(note, identity);
    StoredRun run;
    if (Result found = !opened || last || IsServerDatabase(m_database) ? opened : m_store->lastRun(last);
        !found || !last) {
        report(found);
        return;
    }
    if (Result loaded = m_store->loadRun(*last, run); !loaded) {
        report(loaded);
        return;
    }
    if (!run.finished) {
        showRun(run);
        return;
    }
    // A finished run offers the next one: the same part and feature, dated today.
    m_model.open(NewRunState(RecordDatedOn(run.record, today)));
}

void RunKeeper::showRun(const StoredRun& run)
{
    RunState state = NewRunState(run.record);
    state.started = true;
    m_runs[state.key] = run.id;
    state.readings.reserve(run.readings.size());
    for (const StoredReading& stored : run.readings) {
        state.readings.push_back({NewIdentity(), stored.reading});
        m_numbers[state.readings.back().key] = stored.number;
    }
    m_model.open(std::move(state));
    setRun(run.id);
}

void RunKeeper::take(const RunChange& change)
{
    m_waiting.push_back(change);
    if (!writeWaiting())
        writeJournal();
}

bool RunKeeper::writeWaiting()
{
    Result result;
    while (!m_waiting.empty() && (result = write(m_waiting.front()))) {
        if (logsAReading(m_waiting.front()))
            m_model.markNotSaved(m_waiting.front().readingKey, false);
        m_waiting.pop_front();
    }
    if (result) {
        if (m_retry.isActive()) {
            m_retry.stop();
            WriteUnsavedJournal(m_journal, {});
            m_grid.showNote(ReadingsGrid::NoteSource::Store, {});
        }
        return true;
    }
    // Opened afresh at the next try: a server may have gone away and come back.
    m_store.reset();
    int unsaved = 0;
    for (const RunChange& change : m_waiting) {
        if (logsAReading(change)) {
            m_model.markNotSaved(change.readingKey, true);
            ++unsaved;
        }
    }
    const QString what = unsaved == 1 ? QStringLiteral("A reading is not saved; it stays")
                                      : QStringLiteral("%1 readings are not saved; they stay").arg(unsaved);
    m_grid.showNote(ReadingsGrid::NoteSource::Store,
                    what + QStringLiteral(" here and will be written when the runs database works again. ") +
                        QString::fromStdString(result.reason));
    m_retry.start();
    return false;
}

Result RunKeeper::write(const RunChange& change)
{
    if (Result opened = openStore(); !opened)
        return opened;
    if (change.kind == RunChangeKind::StartRun) {
        RunId made = 0;
        Result created = m_store->createRun(change.record, change.at, made);
        if (created) {
            m_runs[change.runKey] = made;
            setRun(made);
        }
        return created;
    }
    const RunId id = m_runs[change.runKey];
    const int number = m_numbers[change.readingKey];
    switch (change.kind) {
    case RunChangeKind::LogReading: {
        int logged = 0;
        Result result = m_store->logReading(id, change.reading.value, change.reading.loggedAt, logged);
        if (result)
            m_numbers[change.readingKey] = logged;
        return result;
    }
    case RunChangeKind::EditReading:
        return m_store->editReading(id, {number, change.reading}, change.at);
    case RunChangeKind::RemoveReading:
        return m_store->removeReading(id, number, change.at);
    case RunChangeKind::PutBackReading:
        return m_store->restoreReading(id, {number, change.reading}, change.at);
    case RunChangeKind::ChangeRecord:
        return m_store->updateRecord(id, change.record);
    case RunChangeKind::Finish:
        return m_store->finish(id);
    case RunChangeKind::StartRun:
        break;
    }
    return {};
}

void RunKeeper::setRun(RunId id)
{
    DatabaseIdentity identity;
    if (id == 0)
        return;
    if (const QString note = lastRunNote(identity); !note.isEmpty())
        report(WriteLastRun(note, identity, id));
}

QString RunKeeper::lastRunNote(DatabaseIdentity& identity) const
{
    if (m_dataFolder.path.isEmpty() || !m_dataFolder.usable || !IdentifyDatabase(m_database, identity))
        return {};
    return LastRunPath(m_dataFolder.path, identity);
}

void RunKeeper::writeJournal()
{
    UnsavedReadings unsaved{m_database, run(), m_model.record(), {}};
    for (const RunChange& change : m_waiting)
        if (change.runKey == m_model.runKey() && logsAReading(change))
            if (const std::optional<int> row = m_model.rowOf(change.readingKey))
                unsaved.readings.push_back(m_model.readings()[std::size_t(*row)].reading);
    if (const QString why = WriteUnsavedJournal(m_journal, unsaved); !why.isEmpty())
        m_grid.showNote(ReadingsGrid::NoteSource::Store, why);
}

void RunKeeper::report(const Result& result)
{
    if (!result)
        m_grid.showNote(ReadingsGrid::NoteSource::Store, QString::fromStdString(result.reason));
}

void RunKeeper::chooseRun()
{
    if (m_database.isEmpty())
        return;
    if (Result opened = openStore(); !opened) {
        report(opened);
        return;
    }
    if (!m_waiting.empty()) {
        m_grid.showNote(ReadingsGrid::NoteSource::Store,
                        QStringLiteral("Readings of this run are not saved yet: another run opens once they are."));
        return;
    }
    std::vector<RunSummary> runs;
    if (Result listed = m_store->listRuns(runs); !listed) {
        report(listed);
        return;
    }
    auto* window = new OpenRunWindow(runs, &m_form);
    connect(window, &OpenRunWindow::runChosen, this, &RunKeeper::openRun);
    window->show();
}

void RunKeeper::openRun(RunId id)
{
    StoredRun run;
    if (Result loaded = openStore() ? m_store->loadRun(id, run) : openStore(); !loaded) {
        report(loaded);
        return;
    }
    m_grid.showNote(ReadingsGrid::NoteSource::Store, {});
    showRun(run);
}

} // namespace quorvale

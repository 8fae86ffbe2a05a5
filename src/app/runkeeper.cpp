#include "runkeeper.h"

#include "form1.h"
#include "lastrun.h"
#include "openrunwindow.h"
#include "readingsgrid.h"
#include "runsdatabase.h"

#include <QLocale>

namespace quorvale {

namespace {

constexpr int RetryMilliseconds = 5000;
constexpr int RecordDelayMilliseconds = 700;

} // namespace

RunKeeper::RunKeeper(Form1& form, QString database, RunsDataFolder dataFolder)
    : m_form(form), m_grid(form.readingsGrid()), m_database(std::move(database)), m_dataFolder(std::move(dataFolder)),
      m_journal(UnsavedJournalPath(m_database, m_dataFolder.databaseFile()))
{
    if (m_database.isEmpty())
        return;
    m_retry.setInterval(RetryMilliseconds);
    connect(&m_retry, &QTimer::timeout, this, [this] { saveUnsaved(); });
    m_recordChanged.setSingleShot(true);
    m_recordChanged.setInterval(RecordDelayMilliseconds);
    connect(&m_recordChanged, &QTimer::timeout, this, &RunKeeper::updateRecord);
    connect(&m_form, &Form1::recordEdited, this, [this] {
        if (m_run)
            m_recordChanged.start();
    });
    // Written when the box is left too: Cancel ends the program at once, with no time left for the delay.
    connect(&m_form, &Form1::recordEditFinished, this, [this] {
        if (m_recordChanged.isActive())
            updateRecord();
    });
    connect(&m_form, &Form1::openRunRequested, this, &RunKeeper::chooseRun);
    connect(&m_grid, &ReadingsGrid::readingLogged, this, [this] { saveUnsaved(); });
    connect(&m_grid, &ReadingsGrid::readingEdited, this, &RunKeeper::edited);
    connect(&m_grid, &ReadingsGrid::readingsRemoved, this, &RunKeeper::removed);
    connect(&m_grid, &ReadingsGrid::readingsRestored, this, &RunKeeper::restored);
}

RunKeeper::~RunKeeper()
{
    if (m_recordChanged.isActive())
        updateRecord();
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

template <class Change> Result RunKeeper::change(Change body)
{
    Result opened = openStore();
    return opened ? body() : opened;
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
            // What the database did not take comes back into the window, marked, as it was left.
            m_form.setRecord(unsaved->record);
            std::vector<StoredReading> notKept;
            for (const Reading& reading : unsaved->readings)
                notKept.push_back({0, reading});
            m_grid.setReadings(notKept);
            setRun(unsaved->run);
            m_anyUnsaved = true;
            saveUnsaved();
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
    const QString date = QLocale::c().toString(today, QStringLiteral("d MMM yyyy"));
    run.record.DateInspector = run.record.DateApprovedBy = date.toStdString();
    m_form.setRecord(run.record);
}

void RunKeeper::showRun(const StoredRun& run)
{
    m_recordChanged.stop();
    m_form.setRecord(run.record);
    m_grid.setReadings(run.readings);
    setRun(run.id);
    m_recordChanged.stop();
    m_grid.showStatus({});
}

bool RunKeeper::saveUnsaved()
{
    std::vector<int> rows;
    if (!m_grid.showsSamples()) {
        const int count = m_grid.topLevelItemCount();
        // Only the newest row can be new, unless an earlier one was left unsaved; the reading being
        // typed has no value yet.
        for (int row = m_anyUnsaved ? 0 : std::max(count - 1, 0); row < count; ++row) {
            if (m_grid.keptNumber(row) == 0 && !m_grid.readingAt(row).value.empty())
                rows.push_back(row);
        }
    }
    Result result = rows.empty() ? Result{} : openStore();
    for (const int row : rows) {
        if (!result)
            break;
        const Reading reading = m_grid.readingAt(row);
        if (m_run == 0) {
            RunId made = 0;
            if (!(result = m_store->createRun(m_form.typedRecord(), reading.loggedAt, made)))
                break;
            setRun(made);
        }
        int number = 0;
        if ((result = m_store->logReading(m_run, reading.value, reading.loggedAt, number))) {
            m_grid.setKeptNumber(row, number);
            m_grid.markNotSaved(row, false);
        }
    }
    if (result) {
        if (std::exchange(m_anyUnsaved, false)) {
            m_retry.stop();
            WriteUnsavedJournal(m_journal, {});
            m_grid.showStatus({});
        }
        return true;
    }
    // Opened afresh at the next try: a server may have gone away and come back.
    m_store.reset();
    m_anyUnsaved = true;
    int unsaved = 0;
    for (const int row : rows) {
        const bool kept = m_grid.keptNumber(row) != 0;
        m_grid.markNotSaved(row, !kept);
        unsaved += kept ? 0 : 1;
    }
    writeJournal();
    const QString what = unsaved == 1 ? QStringLiteral("A reading is not saved; it stays")
                                      : QStringLiteral("%1 readings are not saved; they stay").arg(unsaved);
    m_grid.showStatus(what + QStringLiteral(" here and will be written when the runs database works again. ") +
                      QString::fromStdString(result.reason));
    m_retry.start();
    return false;
}

void RunKeeper::setRun(RunId id)
{
    DatabaseIdentity identity;
    if (std::exchange(m_run, id) != id && id != 0) {
        if (const QString note = lastRunNote(identity); !note.isEmpty())
            report(WriteLastRun(note, identity, id));
    }
}

QString RunKeeper::lastRunNote(DatabaseIdentity& identity) const
{
    if (m_dataFolder.path.isEmpty() || !m_dataFolder.usable || !IdentifyDatabase(m_database, identity))
        return {};
    return LastRunPath(m_dataFolder.path, identity);
}

void RunKeeper::writeJournal()
{
    UnsavedReadings unsaved{m_database, m_run, m_form.typedRecord(), {}};
    if (!m_grid.showsSamples()) {
        for (int row = 0; row < m_grid.topLevelItemCount(); ++row) {
            if (m_grid.keptNumber(row) == 0 && !m_grid.readingAt(row).value.empty())
                unsaved.readings.push_back(m_grid.readingAt(row));
        }
    }
    if (const QString why = WriteUnsavedJournal(m_journal, unsaved); !why.isEmpty())
        m_grid.showStatus(why);
}

void RunKeeper::updateRecord()
{
    m_recordChanged.stop();
    if (m_run)
        report(change([&] { return m_store->updateRecord(m_run, m_form.typedRecord()); }));
}

void RunKeeper::finish()
{
    if (m_database.isEmpty() || !m_run)
        return;
    updateRecord();
    report(change([&] { return m_store->finish(m_run); }));
}

void RunKeeper::edited(int row)
{
    const int number = m_grid.keptNumber(row);
    if (number == 0) {
        if (m_anyUnsaved)
            writeJournal();
        return;
    }
    report(change([&] { return m_store->editReading(m_run, {number, m_grid.readingAt(row)}, Moment::now()); }));
}

void RunKeeper::removed(const QList<int>& numbers)
{
    for (const int number : numbers) {
        if (number != 0)
            report(change([&] { return m_store->removeReading(m_run, number, Moment::now()); }));
    }
    if (m_anyUnsaved)
        writeJournal();
}

void RunKeeper::restored(const QList<int>& rows)
{
    for (const int row : rows) {
        if (const int number = m_grid.keptNumber(row); number != 0)
            report(change([&] {
                return m_store->restoreReading(m_run, {number, m_grid.readingAt(row)}, Moment::now());
            }));
    }
    if (m_anyUnsaved)
        writeJournal();
}

void RunKeeper::report(const Result& result)
{
    if (!result)
        m_grid.showStatus(QString::fromStdString(result.reason));
}

void RunKeeper::chooseRun()
{
    if (m_database.isEmpty())
        return;
    if (Result opened = openStore(); !opened) {
        report(opened);
        return;
    }
    if (m_anyUnsaved) {
        m_grid.showStatus(QStringLiteral("Readings of this run are not saved yet: another run opens once they are."));
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
    if (m_recordChanged.isActive())
        updateRecord();
    StoredRun run;
    if (Result loaded = change([&] { return m_store->loadRun(id, run); }); !loaded) {
        report(loaded);
        return;
    }
    showRun(run);
}

} // namespace quorvale

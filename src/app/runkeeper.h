// Keeps the entry window's run in the runs database: makes the run at its first reading, writes each
// reading as it is logged and each edit, removal and undo, keeps the record up to date, brings the
// last run back at start and opens a kept run on request. Readings the database does not take stay
// in the grid marked as not saved, in a journal beside the SQLite file, and are written as soon as
// the database takes them again.
#pragma once

#include "databaseidentity.h"
#include "runsdatabase.h"
#include "runstore.h"
#include "unsavedreadings.h"

#include <QDate>
#include <QObject>
#include <QTimer>

#include <memory>

namespace quorvale {

class Form1;
class ReadingsGrid;

class RunKeeper final : public QObject {
    Q_OBJECT

public:
    // database as ChooseRunsDatabase names it; the data folder holds the per-user file, the note of
    // the last run and a server's journal. An empty database keeps nothing.
    RunKeeper(Form1& form, QString database, RunsDataFolder dataFolder);
    ~RunKeeper() override;

    // At start: writes a journal left by an earlier start, then brings back the last run: an open
    // one with its record and readings, a finished one's record for a new run dated today.
    void restore(QDate today);
    // The output window's Finish: the run is finished.
    void finish();
    RunId run() const { return m_run; }

private:
    // Opens the store where it is not open, as after a failure.
    Result openStore();
    // Writes the grid's readings not kept yet, in order, making the run first; false when the
    // database did not take them all (they are then marked and in the journal).
    bool saveUnsaved();
    void writeJournal();
    // The window's run from now on, remembered for the next start.
    void setRun(RunId id);
    // The note of the last run in this database; empty where there is no place for it.
    QString lastRunNote(DatabaseIdentity& identity) const;
    void updateRecord();
    void showRun(const StoredRun& run);
    void openRun(RunId id);
    void chooseRun();
    void edited(int row);
    void removed(const QList<int>& numbers);
    void restored(const QList<int>& rows);
    // Opens the store if need be and makes the change.
    template <class Change> Result change(Change body);
    // Shows a failure's reason under the grid.
    void report(const Result& result);

    Form1& m_form;
    ReadingsGrid& m_grid;
    QString m_database;
    RunsDataFolder m_dataFolder;
    QString m_journal;
    std::unique_ptr<RunStore> m_store;
    RunId m_run = 0;
    bool m_anyUnsaved = false;
    QTimer m_retry;
    QTimer m_recordChanged;
};

} // namespace quorvale

// Keeps the open run in the runs database: the run model's changes are written as they come (the
// model's change sink), the last run comes back at start and a kept run opens on request. Changes
// the database does not take wait, in order, and are written as soon as it takes them again; the
// readings among them show as not saved and are kept in a journal beside the SQLite file.
#pragma once

#include "databaseidentity.h"
#include "runchange.h"
#include "runsdatabase.h"
#include "runstore.h"
#include "unsavedreadings.h"

#include <QDate>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>

namespace quorvale {

class Form1;
class ReadingsGrid;
class RunModel;

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
    // The database's run the window shows; 0 while it is not kept yet.
    RunId run() const;

private:
    // Opens the store where it is not open, as after a failure.
    Result openStore();
    void take(const RunChange& change);
    Result write(const RunChange& change);
    // Writes the changes that wait, in order; false when the database still does not take them.
    bool writeWaiting();
    void writeJournal();
    // The window's run from now on, remembered for the next start.
    void setRun(RunId id);
    // The note of the last run in this database; empty where there is no place for it.
    QString lastRunNote(DatabaseIdentity& identity) const;
    void showRun(const StoredRun& run);
    void openRun(RunId id);
    void chooseRun();
    // Shows a failure's reason under the grid.
    void report(const Result& result);

    Form1& m_form;
    RunModel& m_model;
    ReadingsGrid& m_grid;
    QString m_database;
    RunsDataFolder m_dataFolder;
    QString m_journal;
    std::unique_ptr<RunStore> m_store;
    std::unordered_map<std::string, RunId> m_runs;  // a run's key, and its id in the database
    std::unordered_map<std::string, int> m_numbers; // a reading's key, and its number in its run
    std::deque<RunChange> m_waiting;                // not taken by the database yet, in order
    QTimer m_retry;
};

} // namespace quorvale

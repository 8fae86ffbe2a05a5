// Keeps the open run in the runs database through this station's outbox: the run model's changes
// go into the outbox, synced, before the window shows them (the model's change sink), and the
// outbox's writer sends them to the database on a thread of its own. The window never waits on the
// database: the last run comes from the outbox's copy at once, or from the database when it answers,
// and a kept run opens when the database has listed and read it. The store line says how many
// changes wait and why, and why a change was not made.
#pragma once

#include "databaseidentity.h"
#include "outbox.h"
#include "outboxwriter.h"
#include "result.h"
#include "runchange.h"
#include "runsdatabase.h"
#include "runstore.h"

#include <QDate>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace quorvale {

class Form1;
class ReadingsGrid;
class RunModel;

class RunKeeper final : public QObject {
    Q_OBJECT

public:
    // database as ChooseRunsDatabase names it; the data folder holds the per-user file, the note of
    // the last run and the database's outbox. An empty database keeps nothing. The writer tries a
    // database that did not answer again after retryMilliseconds.
    RunKeeper(Form1& form, QString database, RunsDataFolder dataFolder, int retryMilliseconds = 3000);
    ~RunKeeper() override;

    // At start: brings back the last run, an open one with its record and readings, a finished
    // one's record for a new run dated today; from the outbox at once, else when the database has it.
    void restore(QDate today);
    // The outbox the window's changes go to; null when there is none (the store line says why).
    const Outbox* outbox() const { return m_outbox.get(); }

private:
    Result keep(std::span<const RunChange> changes);
    void showWaiting(qsizetype count, const QString& why);
    // While changes wait and the writer has not said why, says how long the database has not
    // taken them.
    void watchWaiting();
    // A note on the store line; none brings back what waits, if anything does.
    void note(const QString& text);
    void report(const Result& result);
    // Asks the database on the writer's thread; the store line names what it waits for when the
    // answer is slow. One question at a time.
    void ask(std::function<Result(RunStore&)> query, const QString& waitingFor,
             std::function<void(const Result&)> answer);
    // Outboxes in the data folder that hold changes for other databases: named, so that nobody
    // forgets them, and left as they are.
    void nameOtherOutboxes();
    void loadLastRun(QDate today);
    void showRun(const StoredRun& run);
    void chooseRun();
    void openRun(RunId id);
    // The note of the last run in this database; empty where there is no place for it.
    QString lastRunNote() const;

    Form1& m_form;
    RunModel& m_model;
    ReadingsGrid& m_grid;
    QString m_database;
    RunsDataFolder m_dataFolder;
    std::optional<DatabaseIdentity> m_identity;
    Result m_usable; // why changes cannot be kept, when they cannot
    std::unique_ptr<Outbox> m_outbox;
    std::unique_ptr<OutboxWriter> m_writer;
    QString m_waiting;      // what the store line says of the changes that wait
    QString m_setAside;     // what it says of the changes the database refused for good
    QString m_elsewhere;    // what it says of the changes that wait for other databases
    bool m_refused = false; // the store line says why the last change was not made
    QTimer m_watch;         // while changes wait
    QElapsedTimer m_waitingSince;
    bool m_unanswered = false; // the waiting note is the watch's, not the writer's
    QString m_askingFor;       // what the question on its way to the database is for; empty when none
};

} // namespace quorvale

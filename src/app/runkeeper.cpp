#include "runkeeper.h"

#include "form1.h"
#include "lastrun.h"
#include "newrun.h"
#include "openrunwindow.h"
#include "readingsgrid.h"
#include "runmodel.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace quorvale {

namespace {

// How long the database may take before the store line says what the window waits for.
constexpr int SlowAnswerMilliseconds = 500;
// How long changes may wait on a database that says nothing before the store line tells.
constexpr int SilentStoreMilliseconds = 2000;

QString waitingText(qsizetype count, const QString& outbox, const QString& why)
{
    return (count == 1 ? QStringLiteral("%1 change waits in the outbox %2 until the runs database takes it. %3")
                       : QStringLiteral("%1 changes wait in the outbox %2 until the runs database takes them. %3"))
        .arg(QString::number(count), QDir::toNativeSeparators(outbox), why);
}

} // namespace

RunKeeper::RunKeeper(Form1& form, QString database, RunsDataFolder dataFolder, int retryMilliseconds)
    : m_form(form), m_model(form.run()), m_grid(form.readingsGrid()), m_database(std::move(database)),
      m_dataFolder(std::move(dataFolder))
{
    if (m_database.isEmpty())
        return;
    m_model.setChangeSink([this](std::span<const RunChange> changes) { return keep(changes); });
    connect(&m_form, &Form1::openRunRequested, this, &RunKeeper::chooseRun);
    DatabaseIdentity identity;
    if (m_database == m_dataFolder.databaseFile())
        m_usable = MakeUserDatabase(m_dataFolder);
    if (m_usable)
        m_usable = IdentifyDatabase(m_database, identity);
    if (m_usable && (m_dataFolder.path.isEmpty() || !m_dataFolder.usable))
        m_usable = m_dataFolder.usable ? Result::failure("there is no data folder") : m_dataFolder.usable;
    if (!m_usable) {
        m_usable = Result::failure("The runs database " + DescribeDatabase(m_database).toStdString() +
                                   " cannot be used: " + m_usable.reason + ".");
        return;
    }
    m_identity = identity;
    // One outbox per database, whatever its spelling: an outbox that waits for a database gone away
    // stays for it, untouched by the others.
    QString why;
    m_outbox = Outbox::open(m_dataFolder.path + QStringLiteral("/outbox-") + identity.key(), why);
    if (!m_outbox) {
        m_usable = Result::failure(why.toStdString());
        return;
    }
    m_writer = std::make_unique<OutboxWriter>(*m_outbox, m_database, retryMilliseconds);
    connect(m_writer.get(), &OutboxWriter::waiting, this, &RunKeeper::showWaiting);
    connect(m_writer.get(), &OutboxWriter::setAside, this, [this](const QString& why) {
        m_setAside = QStringLiteral("A change the runs database refuses is set aside in %1: %2")
                         .arg(QDir::toNativeSeparators(m_outbox->setAsidePath()), why);
        if (m_askingFor.isEmpty())
            note({});
    });
    m_watch.setInterval(1000);
    connect(&m_watch, &QTimer::timeout, this, &RunKeeper::watchWaiting);
    // Changes left waiting by the last start are watched from now on.
    m_waitingSince.start();
    m_watch.start();
}

RunKeeper::~RunKeeper()
{
    m_model.setChangeSink({});
}

Result RunKeeper::keep(std::span<const RunChange> changes)
{
    Result kept = m_usable ? m_outbox->append(changes) : m_usable;
    if (!kept) {
        m_refused = true;
        note(QStringLiteral("This change was not made. ") + QString::fromStdString(kept.reason));
        return kept;
    }
    // A change kept again ends the word of the one refused.
    if (std::exchange(m_refused, false))
        note({});
    if (!m_watch.isActive()) {
        m_waitingSince.start();
        m_watch.start();
    }
    m_writer->wake();
    return kept;
}

void RunKeeper::showWaiting(qsizetype count, const QString& why)
{
    m_unanswered = false;
    m_waiting = count > 0 && !why.isEmpty() ? waitingText(count, m_outbox->path(), why) : QString();
    if (count == 0)
        m_watch.stop();
    if (m_askingFor.isEmpty())
        note({});
}

void RunKeeper::watchWaiting()
{
    const std::size_t count = m_outbox->waitingCount();
    if (count == 0) {
        m_watch.stop();
        return;
    }
    if ((!m_waiting.isEmpty() && !m_unanswered) || m_waitingSince.elapsed() < SilentStoreMilliseconds)
        return;
    m_unanswered = true;
    m_waiting = waitingText(qsizetype(count), m_outbox->path(),
                            QStringLiteral("It has not answered for %1 seconds.").arg(m_waitingSince.elapsed() / 1000));
    if (m_askingFor.isEmpty())
        note({});
}

void RunKeeper::note(const QString& text)
{
    const QString standing = (m_setAside + QLatin1Char(' ') + m_waiting + QLatin1Char(' ') + m_elsewhere).simplified();
    m_grid.showNote(ReadingsGrid::NoteSource::Store, text.isEmpty() ? standing : text);
}

void RunKeeper::report(const Result& result)
{
    note(result ? QString() : QString::fromStdString(result.reason));
}

void RunKeeper::ask(std::function<Result(RunStore&)> query, const QString& waitingFor,
                    std::function<void(const Result&)> answer)
{
    if (!m_askingFor.isEmpty()) {
        note(QStringLiteral("Still waiting for the runs database to %1.").arg(m_askingFor));
        return;
    }
    m_askingFor = waitingFor;
    QTimer::singleShot(SlowAnswerMilliseconds, this, [this] {
        if (!m_askingFor.isEmpty())
            note(QStringLiteral("Waiting for the runs database to %1.").arg(m_askingFor));
    });
    m_writer->ask(std::move(query), this, [this, answer = std::move(answer)](const Result& result) {
        m_askingFor.clear();
        note({});
        answer(result);
    });
}

void RunKeeper::restore(QDate today)
{
    if (m_database.isEmpty()) {
        report(m_dataFolder.usable);
        return;
    }
    if (!m_usable) {
        report(m_usable);
        return;
    }
    // Once the window shows: the other outboxes are read only to be named.
    QTimer::singleShot(0, this, &RunKeeper::nameOtherOutboxes);
    // The journal of a version before the outbox is not read: its readings are named, not lost.
    const QString journal =
        (IsServerDatabase(m_database) ? m_dataFolder.databaseFile() : m_database) + QStringLiteral(".unsaved");
    if (QFile::exists(journal))
        note(QStringLiteral("Readings an earlier Quorvale could not save are in %1; log them again, then delete it.")
                 .arg(QDir::toNativeSeparators(journal)));
    if (const std::optional<StoredRun> open = m_outbox->openRun()) {
        if (open->finished)
            m_model.open(NewRunState(RecordDatedOn(open->record, today)));
        else
            showRun(*open);
        return;
    }
    loadLastRun(today);
}

void RunKeeper::nameOtherOutboxes()
{
    const QDir folder(m_dataFolder.path);
    const QString own = QStringLiteral("outbox-") + m_identity->key();
    for (const QString& name : folder.entryList({QStringLiteral("outbox-*")}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name == own)
            continue;
        QString why;
        // One that another copy of the program holds is that copy's to name.
        const std::unique_ptr<Outbox> other = Outbox::open(folder.filePath(name), why);
        if (!other || other->waitingCount() == 0)
            continue;
        const std::size_t count = other->waitingCount();
        m_elsewhere += (count == 1 ? QStringLiteral("%1 change waits in the outbox %2 for another runs database.")
                                   : QStringLiteral("%1 changes wait in the outbox %2 for another runs database."))
                           .arg(QString::number(count), QDir::toNativeSeparators(other->path())) +
                       QLatin1Char(' ');
    }
    if (!m_elsewhere.isEmpty()) {
        m_elsewhere += QStringLiteral("They go out when Quorvale starts on their database.");
        note({});
    }
}

void RunKeeper::loadLastRun(QDate today)
{
    // This station's own last run; the newest of the file where none is remembered yet, as it is the
    // user's own.
    const QString noteFile = lastRunNote();
    std::optional<RunId> last = noteFile.isEmpty() ? std::nullopt : ReadLastRun(noteFile, *m_identity);
    const bool newest = !last && !IsServerDatabase(m_database);
    auto run = std::make_shared<std::optional<StoredRun>>();
    ask(
        [last, newest, run](RunStore& store) mutable {
            if (newest)
                if (Result found = store.lastRun(last); !found)
                    return found;
            if (!last)
                return Result{};
            run->emplace();
            return store.loadRun(*last, **run);
        },
        QStringLiteral("bring back the last run"),
        [this, today, run](const Result& loaded) {
            // Logging began while the database was asked: the run begun here is the one to keep.
            if (!loaded || !*run || m_model.state().started || m_model.undoStack().count() > 0) {
                report(loaded);
                return;
            }
            report(m_outbox->keepRun(**run));
            if ((*run)->finished)
                m_model.open(NewRunState(RecordDatedOn((*run)->record, today)));
            else
                showRun(**run);
        });
}

void RunKeeper::showRun(const StoredRun& run)
{
    RunState state = NewRunState(run.record);
    state.key = run.key;
    state.started = true;
    state.readings.reserve(run.readings.size());
    for (const StoredReading& stored : run.readings)
        state.readings.push_back({stored.key, stored.reading});
    m_model.open(std::move(state));
}

QString RunKeeper::lastRunNote() const
{
    return m_identity ? LastRunPath(m_dataFolder.path, *m_identity) : QString();
}

void RunKeeper::chooseRun()
{
    if (!m_usable) {
        report(m_usable);
        return;
    }
    auto runs = std::make_shared<std::vector<RunSummary>>();
    ask([runs](RunStore& store) { return store.listRuns(*runs); }, QStringLiteral("list the runs kept"),
        [this, runs](const Result& listed) {
            if (!listed) {
                report(listed);
                return;
            }
            auto* window = new OpenRunWindow(*runs, &m_form);
            connect(window, &OpenRunWindow::runChosen, this, &RunKeeper::openRun);
            window->show();
        });
}

void RunKeeper::openRun(RunId id)
{
    auto run = std::make_shared<StoredRun>();
    ask([id, run](RunStore& store) { return store.loadRun(id, *run); }, QStringLiteral("read run %1").arg(id),
        [this, run](const Result& loaded) {
            if (!loaded) {
                report(loaded);
                return;
            }
            // Kept before it shows: the next start brings back the run the window showed last.
            report(m_outbox->keepRun(*run));
            if (const QString noteFile = lastRunNote(); !noteFile.isEmpty())
                if (const Result remembered = WriteLastRun(noteFile, *m_identity, run->id); !remembered)
                    report(remembered);
            showRun(*run);
        });
}

} // namespace quorvale

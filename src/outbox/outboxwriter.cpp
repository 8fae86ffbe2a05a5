#include "outboxwriter.h"

#include "outbox.h"
#include "runstore.h"

#include <QPointer>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace quorvale {

namespace {

// Changes sent in one transaction: a long outage drains in few round trips.
constexpr std::size_t BatchSize = 500;
// How long the end of the program waits for a call to the store that has not come back.
constexpr int StopMilliseconds = 3000;

} // namespace

// Lives on the writer's thread: its store, its connection and its timer are that thread's alone.
class OutboxWriter::Sender final : public QObject {
public:
    Sender(OutboxWriter& writer, Outbox& outbox, QString database, int retryMilliseconds)
        : m_writer(writer), m_outbox(outbox), m_database(std::move(database))
    {
        m_retry.setSingleShot(true);
        m_retry.setInterval(retryMilliseconds);
        QObject::connect(&m_retry, &QTimer::timeout, this, [this] { send(); });
    }

    void send()
    {
        m_retry.stop();
        while (!stopping) {
            const std::vector<RunChange> batch = m_outbox.waiting(BatchSize);
            if (batch.empty())
                break;
            Result result = openStore();
            if (result)
                result = m_store->apply(batch);
            if (stopping)
                return;
            if (result)
                result = m_outbox.sent(batch.size());
            else if (result.error == StoreError::Refused)
                result = sendEach(batch);
            if (!result) {
                // A connection that failed is made afresh: the server may have gone and come back.
                m_store.reset();
                report(QString::fromStdString(result.reason));
                m_retry.start();
                return;
            }
        }
        report({});
    }

    // context is watched on the writer's own thread, the one that made it: the answer goes there.
    void ask(const std::function<Result(RunStore&)>& query, const QPointer<QObject>& context,
             const std::function<void(const Result&)>& answer)
    {
        Result result = openStore();
        if (result)
            result = query(*m_store);
        if (stopping)
            return;
        QMetaObject::invokeMethod(
            &m_writer,
            [context, answer, result] {
                if (context)
                    answer(result);
            },
            Qt::QueuedConnection);
    }

    void stop()
    {
        m_retry.stop();
        m_store.reset();
        thread()->quit();
    }

    std::atomic<bool> stopping = false;

private:
    // One by one, to find the change the store refuses: it is set aside, and the others go on.
    Result sendEach(const std::vector<RunChange>& batch)
    {
        for (const RunChange& change : batch) {
            if (stopping)
                return Result::failure("the program ends");
            Result result = m_store->apply({&change, 1});
            if (!result && result.error == StoreError::Refused) {
                if (Result kept = m_outbox.setAside(change); !kept)
                    return kept;
                QMetaObject::invokeMethod(
                    &m_writer,
                    [writer = &m_writer, why = QString::fromStdString(result.reason)] { emit writer->setAside(why); },
                    Qt::QueuedConnection);
                result = {};
            }
            if (result)
                result = m_outbox.sent(1);
            if (!result)
                return result;
        }
        return {};
    }

    Result openStore()
    {
        if (m_store)
            return {};
        QString why;
        m_store = RunStore::open(m_database, why);
        return m_store ? Result{} : Result::failure(why.toStdString());
    }

    void report(const QString& why)
    {
        const qsizetype count = qsizetype(m_outbox.waitingCount());
        QMetaObject::invokeMethod(
            &m_writer, [writer = &m_writer, count, why] { emit writer->waiting(count, why); }, Qt::QueuedConnection);
    }

    OutboxWriter& m_writer;
    Outbox& m_outbox;
    QString m_database;
    std::unique_ptr<RunStore> m_store;
    QTimer m_retry{this}; // a child, so that it moves to the thread with the sender
};

OutboxWriter::OutboxWriter(Outbox& outbox, QString database, int retryMilliseconds)
    : m_thread(new QThread), m_sender(new Sender(*this, outbox, std::move(database), retryMilliseconds))
{
    m_thread->setObjectName(QStringLiteral("outbox writer"));
    m_sender->moveToThread(m_thread);
    m_thread->start();
    wake();
}

OutboxWriter::~OutboxWriter()
{
    m_sender->stopping = true;
    QMetaObject::invokeMethod(
        m_sender, [sender = m_sender] { sender->stop(); }, Qt::QueuedConnection);
    if (!m_thread->wait(StopMilliseconds)) {
        // A store frozen mid-call: the program is ending, and the thread with its store goes with
        // the process. What it was sending stays in the outbox for the next start.
        return;
    }
    delete m_sender;
    delete m_thread;
}

void OutboxWriter::ask(std::function<Result(RunStore&)> query, QObject* context,
                       std::function<void(const Result&)> answer)
{
    QMetaObject::invokeMethod(
        m_sender,
        [sender = m_sender, query = std::move(query), context = QPointer<QObject>(context),
         answer = std::move(answer)] { sender->ask(query, context, answer); },
        Qt::QueuedConnection);
}

void OutboxWriter::wake()
{
    QMetaObject::invokeMethod(
        m_sender, [sender = m_sender] { sender->send(); }, Qt::QueuedConnection);
}

} // namespace quorvale

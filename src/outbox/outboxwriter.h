// Sends the outbox to the runs store on a thread of its own, in the order the changes were made,
// and has the outbox forget each change once the store has committed it, or set it aside when the
// store refuses it for good. While the store cannot
// take changes it tries again after a while; after each try it says how many changes wait and why.
// Nothing here waits on the database in the thread that made the writer.
#pragma once

#include "result.h"

#include <QObject>
#include <QString>

#include <functional>

namespace quorvale {

class Outbox;
class RunStore;

class OutboxWriter final : public QObject {
    Q_OBJECT

public:
    // database as ChooseRunsDatabase names it; the outbox must outlive the writer.
    OutboxWriter(Outbox& outbox, QString database, int retryMilliseconds = 3000);
    // Stops the thread once the call to the store in progress ends.
    ~OutboxWriter() override;
    OutboxWriter(const OutboxWriter&) = delete;
    OutboxWriter& operator=(const OutboxWriter&) = delete;

    // Sends what waits as soon as the thread is free: after a change was added to the outbox.
    void wake();
    // Runs query with the writer's store on its thread, after what was asked of it before; answer
    // gets the outcome on the thread of context, unless context is gone by then.
    void ask(std::function<Result(RunStore&)> query, QObject* context, std::function<void(const Result&)> answer);

signals:
    // How many changes wait after a try, and why (empty when the store took every one sent).
    void waiting(qsizetype count, const QString& why);
    // A change the store refused for good went into the outbox's set-aside file, for this reason.
    void setAside(const QString& why);

private:
    class Sender;
    class QThread* m_thread;
    Sender* m_sender;
};

} // namespace quorvale

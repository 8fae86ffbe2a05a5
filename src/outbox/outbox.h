// The outbox: every change to a run, kept on this station's disk from the moment it is made until
// the runs store has taken it. A change is in the file, synced, before append() says so; the file
// only grows, and is replaced only by a complete, synced copy, so that a failed write never costs a
// change that was kept. Beside the changes it keeps a copy of the open run, so that the whole run
// can be shown while the store cannot be reached. Safe to use from several threads.
#pragma once

#include "outboxrecords.h"
#include "result.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace quorvale {

class Outbox final {
public:
    // Opens the outbox in folder (made for the user alone where it is missing), taking it for this
    // program: null, with the reason, when it cannot be read or written or another program has it.
    static std::unique_ptr<Outbox> open(const QString& folder, QString& why);
    ~Outbox();
    Outbox(const Outbox&) = delete;
    Outbox& operator=(const Outbox&) = delete;

    // The outbox file, as messages name it.
    const QString& path() const { return m_path; }

    // Adds the changes at the end, on the disk when it returns. A failure, with the reason, leaves
    // every one of them out and the outbox as it was.
    Result append(std::span<const RunChange> changes);
    Result append(const RunChange& change) { return append({&change, 1}); }
    // The first changes that wait for the store, in the order they were made, at most count.
    std::vector<RunChange> waiting(std::size_t count) const;
    std::size_t waitingCount() const;
    // The store has taken the first count changes that waited.
    Result sent(std::size_t count);
    // Keeps a change the store refuses for good in a file of its own beside the outbox, synced, so
    // that the changes after it go on; the caller then counts it sent.
    Result setAside(const RunChange& change);
    QString setAsidePath() const { return m_path + QStringLiteral(".refused"); }

    // The run as the store holds it, kept from now on as the open run's copy.
    Result keepRun(const StoredRun& run);
    // The open run with every change made to it since its copy was kept, taken by the store or
    // waiting: the last run started here, or else the run kept. None when there is none.
    std::optional<StoredRun> openRun() const;

private:
    Outbox(int file, int lock, QString path);
    Result load();
    // Writes the open run's changes the store took, those that wait and the copy into a new file
    // that replaces this one when it is complete. A fresh copy is the store's run as it is now.
    Result rewrite(std::optional<StoredRun> copy, bool fresh);
    Result failure(const std::string& what) const;

    mutable std::mutex m_mutex;
    int m_file;
    int m_lock;
    QString m_path;
    std::optional<StoredRun> m_copy;
    std::string m_openKey;            // the run started or kept last, as the file's order tells
    std::vector<RunChange> m_changes; // in the file's order; the first m_sent are in the store
    std::size_t m_sent = 0;
    std::size_t m_dropped = 0; // changes of other runs, taken by the store, still in the file
    off_t m_size = 0;          // the file's whole records
    std::string m_broken;      // why nothing more may be written, once a failed write left the file unknown
};

} // namespace quorvale

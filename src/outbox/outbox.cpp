#include "outbox.h"

#include "privatefolder.h"
#include "writeall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

// Changes of other runs the store has taken are dropped from the file once there are this many.
constexpr std::size_t DroppedBeforeRewrite = 4096;

int openForUser(const QString& path, int flags)
{
    return ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC | O_NOFOLLOW | O_CREAT, 0600);
}

std::string errorText(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

// The change as the store makes it; a removed reading's number is kept for its putting back.
void replay(StoredRun& run, const RunChange& change, std::map<std::string, int>& removed)
{
    const auto reading = std::find_if(run.readings.begin(), run.readings.end(),
                                      [&](const StoredReading& each) { return each.key == change.readingKey; });
    switch (change.kind) {
    case RunChangeKind::StartRun:
        run = {0, change.runKey, change.record, false, change.at, {}, 0};
        break;
    case RunChangeKind::LogReading:
        // A copy kept after the store took the change holds the reading already.
        if (reading != run.readings.end())
            break;
        run.readings.push_back({++run.lastNumber, change.reading, change.readingKey});
        run.finished = false;
        break;
    case RunChangeKind::EditReading:
        if (reading != run.readings.end())
            reading->reading = change.reading;
        break;
    case RunChangeKind::RemoveReading:
        if (reading != run.readings.end()) {
            removed[change.readingKey] = reading->number;
            run.readings.erase(reading);
        }
        break;
    case RunChangeKind::PutBackReading: {
        if (reading != run.readings.end())
            break;
        const auto number = removed.find(change.readingKey);
        const StoredReading back{number != removed.end() ? number->second : ++run.lastNumber, change.reading,
                                 change.readingKey};
        run.readings.insert(
            std::upper_bound(run.readings.begin(), run.readings.end(), back,
                             [](const StoredReading& a, const StoredReading& b) { return a.number < b.number; }),
            back);
        break;
    }
    case RunChangeKind::ChangeRecord:
        run.record = change.record;
        break;
    case RunChangeKind::Finish:
        run.finished = true;
        break;
    }
}

} // namespace

std::unique_ptr<Outbox> Outbox::open(const QString& folder, QString& why)
{
    const QString path = folder + QStringLiteral("/outbox");
    const auto refuse = [&](const QString& reason) {
        why = QStringLiteral("The outbox %1 cannot be used: %2.").arg(QDir::toNativeSeparators(path), reason);
        return nullptr;
    };
    // The folder of one database's outbox, in the user's data folder, for the user alone.
    if (const Result made = MakePrivateFolder(QFile::encodeName(QFileInfo(folder).absolutePath()).toStdString(),
                                              QFile::encodeName(folder).toStdString());
        !made)
        return refuse(QString::fromStdString(made.reason));
    const int lock = openForUser(path + QStringLiteral(".lock"), O_RDWR);
    if (lock < 0)
        return refuse(QString::fromStdString(errorText(errno)));
    if (::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(lock);
        return refuse(error == EWOULDBLOCK ? QStringLiteral("another Quorvale is using it")
                                           : QString::fromStdString(errorText(error)));
    }
    const int file = openForUser(path, O_RDWR | O_APPEND);
    if (file < 0) {
        ::close(lock);
        return refuse(QString::fromStdString(errorText(errno)));
    }
    std::unique_ptr<Outbox> outbox(new Outbox(file, lock, path));
    if (const Result loaded = outbox->load(); !loaded) {
        why = QString::fromStdString(loaded.reason);
        return nullptr;
    }
    return outbox;
}

Outbox::Outbox(int file, int lock, QString path) : m_file(file), m_lock(lock), m_path(std::move(path)) {}

Outbox::~Outbox()
{
    ::close(m_file);
    ::close(m_lock);
}

Result Outbox::failure(const std::string& what) const
{
    return Result::failure("The outbox " + QDir::toNativeSeparators(m_path).toStdString() + " " + what + ".");
}

Result Outbox::load()
{
    QFile file;
    if (!file.open(m_file, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) || !file.seek(0))
        return failure("cannot be read: " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    qsizetype offset = 0;
    OutboxRecord record;
    RecordEnd end = RecordEnd::Whole;
    while (offset < bytes.size() && (end = DecodeRecord(bytes, offset, record)) == RecordEnd::Whole) {
        if (auto* change = std::get_if<RunChange>(&record)) {
            if (change->kind == RunChangeKind::StartRun)
                m_openKey = change->runKey;
            m_changes.push_back(std::move(*change));
        } else if (auto* run = std::get_if<StoredRun>(&record)) {
            m_copy = std::move(*run);
            m_openKey = m_copy->key;
        } else
            m_sent = std::min<std::size_t>(std::get<SentMark>(record).changes, m_changes.size());
    }
    // A record cut short is the one a crash or a full disk stopped: it was never reported kept, and
    // goes so that the next one is written after the last whole record. Anything else is left alone.
    if (offset < bytes.size() && end == RecordEnd::Damaged)
        return failure("is damaged at byte " + std::to_string(offset) + " and is left as it is");
    if (offset < bytes.size() && ::ftruncate(m_file, offset) != 0)
        return failure("cannot be repaired: " + errorText(errno));
    m_size = offset;
    m_dropped = std::count_if(m_changes.begin(), m_changes.begin() + std::ptrdiff_t(m_sent),
                              [&](const RunChange& change) { return change.runKey != m_openKey; });
    return {};
}

Result Outbox::append(std::span<const RunChange> changes)
{
    QByteArray bytes;
    for (const RunChange& change : changes)
        bytes += EncodeRecord(change);
    const std::lock_guard lock(m_mutex);
    if (!m_broken.empty())
        return failure("cannot be written: " + m_broken);
    const int error = WriteAll(m_file, {bytes.constData(), std::size_t(bytes.size())});
    if (error == 0 && ::fdatasync(m_file) == 0) {
        m_size += bytes.size();
        for (const RunChange& change : changes) {
            if (change.kind == RunChangeKind::StartRun)
                m_openKey = change.runKey;
            m_changes.push_back(change);
        }
        return {};
    }
    const std::string reason = errorText(error != 0 ? error : errno);
    // What was written of it goes, so that the next change follows the last whole one.
    if (::ftruncate(m_file, m_size) != 0 || ::fdatasync(m_file) != 0)
        m_broken = reason;
    return failure("cannot be written: " + reason);
}

std::vector<RunChange> Outbox::waiting(std::size_t count) const
{
    const std::lock_guard lock(m_mutex);
    const auto first = m_changes.begin() + std::ptrdiff_t(m_sent);
    return {first, first + std::ptrdiff_t(std::min(count, m_changes.size() - m_sent))};
}

std::size_t Outbox::waitingCount() const
{
    const std::lock_guard lock(m_mutex);
    return m_changes.size() - m_sent;
}

Result Outbox::sent(std::size_t count)
{
    const std::lock_guard lock(m_mutex);
    for (std::size_t i = m_sent; i < m_sent + count && i < m_changes.size(); ++i)
        m_dropped += m_changes[i].runKey != m_openKey ? 1 : 0;
    m_sent = std::min(m_sent + count, m_changes.size());
    if (m_dropped >= DroppedBeforeRewrite)
        return rewrite(m_copy, false);
    // Not synced: a mark lost in a crash only sends changes again, which the store passes over.
    const QByteArray bytes = EncodeRecord(SentMark{m_sent});
    if (!m_broken.empty() || WriteAll(m_file, {bytes.constData(), std::size_t(bytes.size())}) != 0) {
        if (::ftruncate(m_file, m_size) != 0)
            m_broken = errorText(errno);
        return {};
    }
    m_size += bytes.size();
    return {};
}

Result Outbox::setAside(const RunChange& change)
{
    const QByteArray bytes = EncodeRecord(change);
    const int file = openForUser(setAsidePath(), O_WRONLY | O_APPEND);
    int error = file < 0 ? errno : WriteAll(file, {bytes.constData(), std::size_t(bytes.size())});
    if (error == 0 && ::fdatasync(file) != 0)
        error = errno;
    if (file >= 0)
        ::close(file);
    if (error == 0)
        return {};
    return Result::failure("The change the runs database refuses cannot be set aside in " +
                           QDir::toNativeSeparators(setAsidePath()).toStdString() + ": " + errorText(error) + ".");
}

Result Outbox::keepRun(const StoredRun& run)
{
    const std::lock_guard lock(m_mutex);
    const std::string before = std::exchange(m_openKey, run.key);
    const Result written = rewrite(run, true);
    if (!written)
        m_openKey = before;
    return written;
}

Result Outbox::rewrite(std::optional<StoredRun> copy, bool fresh)
{
    // Of the changes the store took, only the open run's stay, and not even those when a fresh copy
    // from the store holds them. The copy goes after the changes: the run kept last is the open one.
    if (copy && copy->key != m_openKey)
        copy.reset();
    std::vector<RunChange> kept;
    for (std::size_t i = 0; i < m_sent; ++i) {
        if (m_changes[i].runKey == m_openKey && !(fresh && copy))
            kept.push_back(m_changes[i]);
    }
    const std::size_t sent = kept.size();
    kept.insert(kept.end(), m_changes.begin() + std::ptrdiff_t(m_sent), m_changes.end());
    QByteArray bytes;
    for (const RunChange& change : kept)
        bytes += EncodeRecord(change);
    if (copy)
        bytes += EncodeRecord(*copy);
    bytes += EncodeRecord(SentMark{sent});
    if (const Result written = WritePrivateFile(QFile::encodeName(m_path).toStdString(), bytes.toStdString()); !written)
        return failure("cannot be written: " + written.reason);
    const int file = openForUser(m_path, O_RDWR | O_APPEND);
    if (file < 0)
        m_broken = errorText(errno);
    else
        ::close(std::exchange(m_file, file));
    m_copy = copy;
    m_changes = std::move(kept);
    m_sent = sent;
    m_dropped = 0;
    m_size = bytes.size();
    return m_broken.empty() ? Result{} : failure("cannot be written: " + m_broken);
}

std::optional<StoredRun> Outbox::openRun() const
{
    const std::lock_guard lock(m_mutex);
    if (m_openKey.empty())
        return std::nullopt;
    StoredRun run = m_copy && m_copy->key == m_openKey ? *m_copy : StoredRun{};
    std::map<std::string, int> removed;
    for (const RunChange& change : m_changes) {
        if (change.runKey == m_openKey)
            replay(run, change, removed);
    }
    return run;
}

} // namespace quorvale

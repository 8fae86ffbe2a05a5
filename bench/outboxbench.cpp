// quorvale-outbox-bench: what the outbox costs the window and how fast it drains. A change from the
// window into the outbox (written and flushed) and the writer woken, median and 95th percentile,
// beside the bare flushed write of as many bytes to a file as the reference; and the time the
// writer takes to send 10,000 changes that waited while the store was away, on SQLite and on a
// PostgreSQL server of its own that flushes as a real one does.
#include "outbox.h"
#include "outboxwriter.h"
#include "postgresserver.h"
#include "tempdir.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace quorvale;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double percentile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, std::size_t(share * double(times.size())))];
}

RunChange reading(const std::string& run, int value)
{
    const Moment now = Moment::now();
    return {NewIdentity(),
            run,
            RunChangeKind::LogReading,
            now,
            NewIdentity(),
            {now.at, now.utcOffset, "0." + std::to_string(value % 1000)},
            {}};
}

std::unique_ptr<Outbox> openOutbox(const std::string& folder)
{
    QString why;
    auto outbox = Outbox::open(QString::fromStdString(folder), why);
    if (!outbox)
        std::printf("%s\n", qPrintable(why));
    return outbox;
}

void waitUntilSent(const Outbox& outbox)
{
    while (outbox.waitingCount() > 0) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
}

// The window's side: each change into the outbox while the writer sends to SQLite beside it.
void benchAppend(int count)
{
    test::TempDir folder;
    const auto outbox = openOutbox(folder.path() + "/outbox");
    if (!outbox)
        return;
    OutboxWriter writer(*outbox, QString::fromStdString(folder.path() + "/runs.sqlite"));
    const std::string run = NewIdentity();
    const RunChange start{NewIdentity(), run, RunChangeKind::StartRun, Moment::now(), {}, {}, DefaultRunChartRecord()};
    outbox->append(start);
    std::vector<double> appending;
    std::vector<double> reference;
    const int file = ::open((folder.path() + "/reference").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const std::string bytes(EncodeRecord(reading(run, 0)).size(), 'x');
    for (int i = 0; i < count; ++i) {
        const RunChange change = reading(run, i);
        const auto began = Clock::now();
        outbox->append(change);
        writer.wake();
        appending.push_back(millisecondsSince(began));
        QCoreApplication::processEvents();

        const auto written = Clock::now();
        if (::write(file, bytes.data(), bytes.size()) != ssize_t(bytes.size()) || ::fdatasync(file) != 0)
            std::printf("the reference write failed\n");
        reference.push_back(millisecondsSince(written));
    }
    ::close(file);
    waitUntilSent(*outbox);
    std::printf("| a change into the outbox (%d times) | %.2f | %.2f |\n", count, percentile(appending, 0.5),
                percentile(appending, 0.95));
    std::printf("| reference: %zu bytes written and flushed | %.2f | %.2f |\n", bytes.size(),
                percentile(reference, 0.5), percentile(reference, 0.95));
}

// The store's side: changes that waited, sent once it is back.
void benchDrain(const char* backend, const QString& database, int count)
{
    test::TempDir folder;
    const auto outbox = openOutbox(folder.path() + "/outbox");
    if (!outbox)
        return;
    const std::string run = NewIdentity();
    outbox->append({NewIdentity(), run, RunChangeKind::StartRun, Moment::now(), {}, {}, DefaultRunChartRecord()});
    for (int i = 0; i < count; ++i)
        outbox->append(reading(run, i));
    const auto began = Clock::now();
    OutboxWriter writer(*outbox, database);
    waitUntilSent(*outbox);
    const double milliseconds = millisecondsSince(began);
    std::printf("| %s: %d waiting changes sent | %.0f ms | %.0f changes/s |\n", backend, count, milliseconds,
                count / milliseconds * 1000);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int appends = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
    std::printf("| what | median ms | 95th percentile ms |\n|---|---:|---:|\n");
    benchAppend(appends);
    std::printf("\n| what | time | rate |\n|---|---:|---:|\n");
    {
        test::TempDir folder;
        benchDrain("SQLite", QString::fromStdString(folder.path() + "/runs.sqlite"), 10'000);
    }
    test::PostgresServer server(/*flushes*/ true);
    if (!server.running()) {
        std::printf("PostgreSQL: %s\n", server.why().c_str());
        return 1;
    }
    benchDrain("PostgreSQL", QString::fromStdString(server.createDatabase()), 10'000);
    return 0;
}

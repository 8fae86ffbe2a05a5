// quorvale-runs-bench: what keeping the runs costs. Logging one reading (one transaction, flushed)
// into a run of 10,000, median and 95th percentile, on SQLite and on a PostgreSQL server of its own;
// and opening a run of 100,000 readings: loading it and showing it in a new readings grid, as at
// start. Besides the wall time, the time the thread had the processor, which a busy machine does not
// stretch.
#include "postgresserver.h"
#include "readingsgrid.h"
#include "runmodel.h"
#include "runstore.h"
#include "tempdir.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace quorvale;
using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double percentile(std::vector<double> times, double share)
{
    std::sort(times.begin(), times.end());
    return times[std::min(times.size() - 1, std::size_t(share * double(times.size())))];
}

// Wall and processor times of a step done several times.
struct Timings {
    std::vector<double> wall;
    std::vector<double> processor;

    template <class Step> void time(Step step)
    {
        const auto start = Clock::now();
        const double cpu = threadMilliseconds();
        step();
        wall.push_back(millisecondsSince(start));
        processor.push_back(threadMilliseconds() - cpu);
    }
    void print(const char* backend, const char* what) const
    {
        std::printf("| %s | %s (%zu times) | %.2f | %.2f | %.2f |\n", backend, what, wall.size(), percentile(wall, 0.5),
                    percentile(wall, 0.95), percentile(processor, 0.5));
    }
};

// A run with count readings, logged a thousand to a transaction.
RunId filledRun(RunStore& store, int count)
{
    RunId id = 0;
    store.createRun(DefaultRunChartRecord(), Moment::now(), id);
    std::vector<Decimal> values;
    for (int i = 0; i < 1000; ++i)
        values.push_back(*Decimal::parse("0." + std::to_string(i % 100)));
    std::vector<int> numbers;
    for (int logged = 0; logged < count; logged += 1000)
        store.logReadings(id, values, Moment::now(), numbers);
    return id;
}

void bench(const char* backend, const QString& database, int loggings)
{
    QString why;
    const auto store = RunStore::open(database, why);
    if (!store) {
        std::printf("%s: %s\n", backend, qPrintable(why));
        return;
    }
    const RunId run = filledRun(*store, 10'000);
    Timings logging;
    for (int i = 0; i < loggings; ++i) {
        int number = 0;
        logging.time([&] { store->logReading(run, *Decimal::parse("0.015"), Moment::now(), number); });
    }
    logging.print(backend, "logging one reading into a run of 10,000");

    const RunId big = filledRun(*store, 100'000);
    Timings loading;
    Timings showing;
    for (int i = 0; i < 5; ++i) {
        StoredRun loaded;
        loading.time([&] { store->loadRun(big, loaded); });
        RunModel model;
        ReadingsGrid grid(model);
        grid.resize(321, 233);
        // Opened as the window opens a kept run, up to its first paint.
        showing.time([&] {
            RunState state = NewRunState(loaded.record);
            for (const StoredReading& stored : loaded.readings)
                state.readings.push_back({NewIdentity(), stored.reading});
            model.open(std::move(state));
            grid.show();
            grid.repaint();
        });
    }
    loading.print(backend, "loading a run of 100,000 readings");
    showing.print(backend, "opening them in a new readings grid to its first paint");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int loggings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    std::printf("| backend | what | median ms | 95th percentile ms | median processor ms |\n"
                "|---|---|---:|---:|---:|\n");
    {
        test::TempDir folder;
        bench("SQLite", QString::fromStdString(folder.path() + "/runs.sqlite"), loggings);
    }
    test::PostgresServer server(/*flushes*/ true);
    if (!server.running()) {
        std::printf("PostgreSQL: %s\n", server.why().c_str());
        return 1;
    }
    bench("PostgreSQL", QString::fromStdString(server.createDatabase()), loggings);
    return 0;
}

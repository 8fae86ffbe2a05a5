// runs_logger DATABASE RUN COUNT FIRST: logs COUNT readings into the run, one transaction each, the
// values FIRST, FIRST + 1, ...; after each commit prints "NUMBER VALUE" and flushes, so that a test
// knows exactly what was reported logged when it kills the logger.
#include "runstore.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: runs_logger DATABASE RUN COUNT FIRST\n");
        return 2;
    }
    QString why;
    const auto store = quorvale::RunStore::open(QString::fromLocal8Bit(argv[1]), why);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    const quorvale::RunId run = std::atoll(argv[2]);
    const long long count = std::atoll(argv[3]);
    const long long first = std::atoll(argv[4]);
    for (long long i = 0; i < count; ++i) {
        const std::string value = std::to_string(first + i);
        int number = 0;
        const quorvale::Result logged =
            store->logReading(run, *quorvale::Decimal::parse(value), quorvale::Moment::now(), number);
        if (!logged) {
            std::fprintf(stderr, "%s\n", logged.reason.c_str());
            return 1;
        }
        std::printf("%d %s\n", number, value.c_str());
        std::fflush(stdout);
    }
    return 0;
}

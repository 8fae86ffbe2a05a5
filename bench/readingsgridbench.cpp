// Times logging readings the way a gauge does (the value's keys, then Enter) into a shown readings
// grid judging them by limits: the median milliseconds from Enter to the reading shown, marked and
// the run's line worked out, over the first and the last hundred of N, and their ratio, which stays
// near 1 when a long run costs no more per reading than a short one.
//   quorvale-readingsgrid-bench [N]
#include "readingsgrid.h"
#include "runmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Milliseconds from Enter to the reading logged, marked, reported and painted.
double logReading(quorvale::ReadingsGrid& grid, const QString& value)
{
    QTest::keyClick(&grid, value.front().toLatin1());
    QWidget* editor = QApplication::focusWidget();
    for (const QChar c : value.mid(1))
        QTest::keyClick(editor, c.toLatin1());
    QElapsedTimer enter;
    enter.start();
    QTest::keyClick(editor, Qt::Key_Return);
    // Let the commit, the repaint and the closed editor's deletion happen, as between two readings.
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return enter.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (count < 200) {
        std::fprintf(stderr, "usage: %s [N >= 200]\n", argv[0]);
        return 2;
    }

    quorvale::RunModel run;
    quorvale::ReadingsGrid grid(run);
    quorvale::setUpReadingsGrid(grid, 4815, 15);
    // The readings climb from 0.000 to 0.049 again and again: one in ten lies outside. No bell.
    quorvale::RunChartRecord record = run.record();
    record.Check = "0.025";
    record.UpperTolerance = "0.020";
    record.LowerTolerance = "0.020";
    run.changeRecord(record);
    grid.setBell([] {});
    grid.resize(321, 233);
    grid.show();
    grid.activateWindow();
    grid.setFocus();
    if (!QTest::qWaitForWindowActive(&grid)) {
        std::fprintf(stderr, "the grid's window did not become active\n");
        return 1;
    }

    std::vector<double> firstLogged;
    std::vector<double> lastLogged;
    for (int i = 0; i < count; ++i) {
        const double logged = logReading(grid, QStringLiteral("0.0%1").arg(i % 50, 2, 10, QLatin1Char('0')));
        if (i < 100)
            firstLogged.push_back(logged);
        if (i >= count - 100)
            lastLogged.push_back(logged);
    }
    QElapsedTimer timer;
    timer.start();
    const auto readings = grid.readings();
    const double collect = timer.nsecsElapsed() / 1e6;
    if (static_cast<int>(readings.size()) != count) {
        std::fprintf(stderr, "logged %zu readings of %d\n", readings.size(), count);
        return 1;
    }
    std::sort(firstLogged.begin(), firstLogged.end());
    std::sort(lastLogged.begin(), lastLogged.end());
    const double first = firstLogged[50];
    const double last = lastLogged[50];
    std::printf("readings grid: %d readings; Enter to shown, marked and summed up: median of the first 100 %.2f ms, "
                "of the last 100 %.2f ms, last/first %.2f; slowest of the last 100 %.2f ms; "
                "handing all to the record %.2f ms\n",
                count, first, last, last / first, lastLogged.back(), collect);
    return 0;
}

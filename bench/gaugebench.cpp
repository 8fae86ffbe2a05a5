// Times a reading from a serial gauge to the entry window's grid: a pseudo-terminal stands in for
// the gauge, and each reading is timed from the write of its line's last byte to the grid's first
// paint that shows it. Prints the median, the 95th percentile and the maximum over N readings.
//   quorvale-gauge-bench [N]
#include "datasheetfile.h"
#include "form1.h"
#include "gaugeconnection.h"
#include "qtplatform.h"
#include "readingsgrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <pty.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Notes the time of the first paint of the grid once it holds the rows awaited.
class PaintWatch final : public QObject {
public:
    PaintWatch(quorvale::ReadingsGrid& grid, QElapsedTimer& clock) : m_grid(grid), m_clock(clock) {}

    void await(int rows)
    {
        m_rows = rows;
        m_shownAt = -1;
    }
    qint64 shownAt() const { return m_shownAt; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_shownAt < 0 && m_grid.model()->rowCount() >= m_rows &&
            !m_grid.showsSamples())
            m_shownAt = m_clock.nsecsElapsed();
        return false;
    }

private:
    quorvale::ReadingsGrid& m_grid;
    QElapsedTimer& m_clock;
    int m_rows = 0;
    qint64 m_shownAt = -1;
};

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (count < 1) {
        std::fprintf(stderr, "usage: %s [N]\n", argv[0]);
        return 2;
    }

    int controller = -1;
    int terminal = -1;
    char device[256] = {};
    if (::openpty(&controller, &terminal, device, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    ::close(terminal);

    QTemporaryDir folder;
    quorvale::QtPlatform platform(folder.filePath("settings.conf"));
    quorvale::DataSheetFile sheet(quorvale::DataSheetFolder{folder.path().toStdString(), {}});
    quorvale::GaugeConnection gauge;
    quorvale::Form1 form(platform, sheet, gauge);
    QObject::connect(&gauge, &quorvale::GaugeConnection::readingReceived, &form, &quorvale::Form1::logGaugeReading);
    auto* grid = form.findChild<quorvale::ReadingsGrid*>(QStringLiteral("lv1"));
    form.show();
    quorvale::GaugeSettings settings;
    settings.port = QString::fromLocal8Bit(device);
    settings.lineEnd = quorvale::GaugeLineEnd::Cr;
    form.gauge().start(settings);
    if (!form.gauge().isConnected()) {
        std::fprintf(stderr, "%s\n", qPrintable(form.gauge().state()));
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    PaintWatch watch(*grid, clock);
    grid->viewport()->installEventFilter(&watch);
    std::vector<double> milliseconds;
    for (int i = 0; i < count; ++i) {
        char line[32];
        const int length = std::snprintf(line, sizeof line, "01A+%05d.%03d\r", 25, i % 1000);
        watch.await(i + 1);
        const qint64 sent = (::write(controller, line, static_cast<std::size_t>(length)), clock.nsecsElapsed());
        while (watch.shownAt() < 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        milliseconds.push_back(static_cast<double>(watch.shownAt() - sent) / 1e6);
        // The closed editors are deleted between two readings, as the event loop does when idle.
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::printf("gauge to grid: %d readings; median %.2f ms, 95th percentile %.2f ms, maximum %.2f ms\n", count,
                percentile(milliseconds, 0.5), percentile(milliseconds, 0.95),
                *std::max_element(milliseconds.begin(), milliseconds.end()));
    ::close(controller);
    return 0;
}

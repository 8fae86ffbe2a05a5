// waiting_wizard DATABASE FOLDER: the program's wizard on DATABASE, with "25.5" typed into the grid's
// open cell and two gauge readings waiting behind it; prints "waiting", then runs as the program
// does until a signal ends it.
#include "qtplatform.h"
#include "readingsgrid.h"
#include "removeonsignal.h"
#include "wizard.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: waiting_wizard DATABASE FOLDER\n");
        return 2;
    }
    quorvale::SetUpOutputSignals();
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    quorvale::QtPlatform platform(folder + QStringLiteral("/settings.conf"));
    int endingSignal = 0;
    {
        quorvale::Wizard wizard(platform, quorvale::DataSheetFolder{argv[2], {}}, QString::fromLocal8Bit(argv[1]),
                                quorvale::RunsDataFolder{folder, {}});
        if (!wizard.start())
            return 1;
        quorvale::ReadingsGrid& grid = wizard.entryWindow().readingsGrid();
        grid.setFocus();
        QTest::keyClicks(&grid, QStringLiteral("2"));
        QTest::keyClicks(grid.findChild<QLineEdit*>(), QStringLiteral("5.5"));
        wizard.entryWindow().logGaugeReading(QStringLiteral("25.1"));
        wizard.entryWindow().logGaugeReading(QStringLiteral("25.2"));
        std::printf("waiting\n");
        std::fflush(stdout);
        app.exec();
        endingSignal = wizard.endingSignal();
    }
    if (endingSignal != 0)
        std::raise(endingSignal);
    return 0;
}

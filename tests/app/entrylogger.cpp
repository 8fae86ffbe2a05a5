// entry_logger DATABASE FOLDER COUNT: the entry window on DATABASE, with COUNT readings typed into
// its grid as a gauge types them; after each Enter prints "logged N" and flushes, then waits to be
// killed, so that a test can check what a killed program leaves.
#include "datasheetfile.h"
#include "form1.h"
#include "gaugeconnection.h"
#include "qtplatform.h"
#include "readingsgrid.h"
#include "runkeeper.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: entry_logger DATABASE FOLDER COUNT\n");
        return 2;
    }
    QApplication app(argc, argv);
    quorvale::QtPlatform platform;
    quorvale::DataSheetFile sheet(quorvale::DataSheetFolder{argv[2], {}});
    quorvale::GaugeConnection gauge;
    quorvale::Form1 form(platform, sheet, gauge);
    const QString database = QString::fromLocal8Bit(argv[1]);
    quorvale::RunKeeper keeper(form, database, quorvale::RunsDataFolder{QString::fromLocal8Bit(argv[2]), {}});
    keeper.restore(QDate::currentDate());
    form.show();
    quorvale::ReadingsGrid& grid = form.readingsGrid();
    grid.setFocus();
    for (int i = 1; i <= std::atoi(argv[3]); ++i) {
        QTest::keyClicks(&grid, QStringLiteral("0"));
        auto* editor = grid.findChild<QLineEdit*>();
        QTest::keyClicks(editor, QStringLiteral(".%1").arg(i));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::printf("logged %d\n", i);
        std::fflush(stdout);
    }
    return app.exec();
}

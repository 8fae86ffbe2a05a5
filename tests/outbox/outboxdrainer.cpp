// outbox_drainer FOLDER DATABASE: sends the outbox in FOLDER to the database as the program does,
// and ends when nothing waits; the test kills it at some step of the way.
#include "outbox.h"
#include "outboxwriter.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: outbox_drainer FOLDER DATABASE\n");
        return 2;
    }
    QString why;
    const auto outbox = quorvale::Outbox::open(QString::fromLocal8Bit(argv[1]), why);
    if (!outbox) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    quorvale::OutboxWriter writer(*outbox, QString::fromLocal8Bit(argv[2]), 50);
    QObject::connect(&writer, &quorvale::OutboxWriter::waiting, &app, [](qsizetype count, const QString& reason) {
        if (!reason.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(reason));
        if (count == 0)
            QCoreApplication::quit();
    });
    return app.exec();
}

// Quorvale: shows the entry window of the run chart wizard.
#include "qtplatform.h"
#include "wizard.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvale"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setOrganizationName(QStringLiteral("Quorvale"));

    quorvale::QtPlatform platform;
    quorvale::Wizard wizard(platform, QCoreApplication::applicationDirPath());
    wizard.start();
    return app.exec();
}

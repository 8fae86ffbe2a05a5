// Quorvale: shows the entry window of the run chart wizard.
#include "programfolder.h"
#include "qtplatform.h"
#include "replacefile.h"
#include "wizard.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // A file-size limit then fails the write with a reported reason, and the partial file is
    // removed, instead of the signal killing the program halfway through a document.
    std::signal(SIGXFSZ, SIG_IGN);
    // Interrupted while it writes an output, the program leaves the older file and no partial one.
    quorvale::RemoveTemporaryOnSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvale"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setOrganizationName(QStringLiteral("Quorvale"));

    quorvale::QtPlatform platform;
    // The folder's own bytes: a name that is not UTF-8 must not turn into another place.
    const std::optional<std::string> folder = quorvale::ProgramFolder();
    if (!folder) {
        platform.showMessage(nullptr, {QStringLiteral("Unable to find the program's folder."),
                                       QStringLiteral("Quorvale v1.0"), quorvale::MessageIcon::Warning,
                                       quorvale::MessageButtons::Ok, quorvale::MessageAnswer::Ok});
        return 1;
    }
    quorvale::Wizard wizard(platform, *folder);
    if (!wizard.start())
        return 0;
    return app.exec();
}

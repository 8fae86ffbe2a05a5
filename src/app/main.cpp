// Quorvale: shows the entry window of the run chart wizard.
#include "datasheetfile.h"
#include "programfolder.h"
#include "qtplatform.h"
#include "replacefile.h"
#include "wizard.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// The program takes no arguments but --help and --version. Read without a display, so that both
// work on a build machine; returns the exit status when the program is not to start.
std::optional<int> readCommandLine(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Takes a run chart record in a two-page wizard and makes it a PDF document, a spreadsheet "
                       "workbook with a line chart of the readings, or both."));
    // Not Qt's help option: its --help-all lists Qt's own options, which the program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "quorvale: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "quorvale: unexpected argument '%s'\n", qPrintable(parser.positionalArguments().first()));
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    // Interrupted while it writes an output, the program leaves the older file and no partial one.
    quorvale::SetUpOutputSignals();
    QCoreApplication::setApplicationName(QStringLiteral("Quorvale"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVALE_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvale"));
    if (argc > 1) {
        if (const auto status = readCommandLine(argc, argv))
            return *status;
    }

    QApplication app(argc, argv);
    // The desktop entry's name: Wayland compositors match the window to its entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quorvale.Quorvale"));
    quorvale::QtPlatform platform;
    // The folder's own bytes: a name that is not UTF-8 must not turn into another place.
    const std::optional<std::string> folder = quorvale::ProgramFolder();
    if (!folder) {
        platform.showMessage(nullptr, {QStringLiteral("Unable to find the program's folder."),
                                       QStringLiteral("Quorvale v1.0"), quorvale::MessageIcon::Warning,
                                       quorvale::MessageButtons::Ok, quorvale::MessageAnswer::Ok});
        return 1;
    }
    const std::string userFolder = quorvale::UserDataSheetFolder(std::getenv("XDG_RUNTIME_DIR"),
                                                                 std::getenv("XDG_CACHE_HOME"), std::getenv("HOME"));
    quorvale::Wizard wizard(platform, *folder, userFolder);
    if (!wizard.start())
        return 0;
    return app.exec();
}

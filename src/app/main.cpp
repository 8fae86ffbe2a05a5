// Quorvale: shows the entry window of the run chart wizard.
#include "datasheetfolder.h"
#include "gaugeconnection.h"
#include "gaugesettings.h"
#include "maker.h"
#include "programfolder.h"
#include "qtplatform.h"
#include "removeonsignal.h"
#include "runsdatabase.h"
#include "wizard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

// Qt's standard options, which QApplication takes from the command line when it starts.
constexpr const char* QtOptionsWithValue[] = {"platform",
                                              "platformpluginpath",
                                              "platformtheme",
                                              "plugin",
                                              "qwindowgeometry",
                                              "qwindowicon",
                                              "qwindowtitle",
                                              "display",
                                              "geometry",
                                              "title",
                                              "icon",
                                              "name",
                                              "session",
                                              "style",
                                              "stylesheet",
                                              "qmljsdebugger"};
constexpr const char* QtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// The program takes no arguments of its own but --database, --gauge, --help and --version; Qt's
// options pass on to QApplication. Read without a display, so that --help and --version work on a
// build machine; returns the exit status when the program is not to start. A gauge named with
// --gauge is put into gauge over the remembered settings.
std::optional<int> readCommandLine(int argc, char** argv, QString& database, quorvale::GaugeSettings& gauge)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    // As Qt reads them: "-platform offscreen" is one option with its value, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : QtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : QtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.setApplicationDescription(
        QStringLiteral("Takes a run chart record in a two-page wizard and makes it a PDF document, a spreadsheet "
                       "workbook with a line chart of the readings, or both."));
    // Not Qt's help option: its --help-all lists Qt's own options, which the program does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Keeps the runs in <database>: a postgresql:// connection URI, or the path of a SQLite file "
                       "(otherwise QUORVALE_DATABASE, the setting Runs/database, or "
                       "~/.local/share/quorvale/runs.sqlite)."),
        QStringLiteral("database"));
    parser.addOption(databaseOption);
    const QCommandLineOption gaugeOption(
        QStringLiteral("gauge"),
        QStringLiteral("Starts with the serial gauge on PORT connected (for example /dev/ttyUSB0 or "
                       "/dev/ttyUSB0:19200; the speed in baud, 1200 to 115200, else the one set in the Gauge "
                       "dialog, 9600 at first). Its readings are logged as if typed."),
        QStringLiteral("PORT[:SPEED]"));
    parser.addOption(gaugeOption);
    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "quorvale: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    database = parser.value(databaseOption);
    if (parser.isSet(databaseOption) && database.isEmpty()) {
        std::fprintf(stderr, "quorvale: --database needs a database\n");
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "quorvale: unexpected argument '%s'\n", qPrintable(parser.positionalArguments().first()));
        return 2;
    }
    if (parser.isSet(gaugeOption)) {
        const auto named = quorvale::GaugeFromCommandLine(parser.value(gaugeOption), gauge);
        if (!named) {
            std::fprintf(stderr,
                         "quorvale: --gauge %s: the speed is one of 1200, 2400, 4800, 9600, 19200, 38400, "
                         "57600 and 115200\n",
                         qPrintable(parser.value(gaugeOption)));
            return 2;
        }
        gauge = *named;
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
    quorvale::GaugeSettings gauge;
    {
        QSettings settings;
        gauge = quorvale::LoadGaugeSettings(settings);
    }
    QString databaseOption;
    if (argc > 1) {
        if (const auto status = readCommandLine(argc, argv, databaseOption, gauge))
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
                                       QString::fromUtf8(quorvale::ProgramTitle), quorvale::MessageIcon::Warning,
                                       quorvale::MessageButtons::Ok, quorvale::MessageAnswer::Ok});
        return 1;
    }
    const quorvale::RunsDataFolder dataFolder =
        quorvale::OpenRunsDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    const QString database = quorvale::ChooseRunsDatabase(databaseOption, qEnvironmentVariable("QUORVALE_DATABASE"),
                                                          QSettings().value(QStringLiteral("Runs/database")).toString(),
                                                          dataFolder.databaseFile());
    int status = 0;
    int endingSignal = 0;
    {
        quorvale::Wizard wizard(platform,
                                quorvale::ChooseDataSheetFolder(*folder, std::getenv("XDG_RUNTIME_DIR"),
                                                                std::getenv("XDG_CACHE_HOME"), std::getenv("HOME")),
                                database, dataFolder);
        // When another running copy holds the data sheet, start() has said so and this copy ends.
        if (wizard.start()) {
            if (!gauge.port.isEmpty())
                wizard.gauge().start(gauge);
            status = app.exec();
        }
        endingSignal = wizard.endingSignal();
    }
    // What waited is logged and the wizard gone: the signal ends the program as it meant to.
    if (endingSignal != 0)
        std::raise(endingSignal);
    return status;
}

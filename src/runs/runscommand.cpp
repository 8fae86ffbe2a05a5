// quorvale-runs: lists, starts, logs into and exports the runs from the command line, on the
// database the program uses.
#include "reading.h"
#include "runchartrecord.h"
#include "runsdatabase.h"
#include "runstext.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quorvale;

constexpr std::string_view Usage = "Usage: quorvale-runs [--database DB] COMMAND [ARGUMENT]...\n";

constexpr std::string_view Help = "List, start, log into and export the runs that Quorvale keeps.\n"
                                  "\n"
                                  "Commands:\n"
                                  "  list                  one run a line, TAB-separated: id, state (open or\n"
                                  "                        finished), started (ISO 8601 with the UTC offset),\n"
                                  "                        number of readings, part number; the newest first\n"
                                  "  new [--part TEXT]     start an open run with the default record (part number\n"
                                  "                        TEXT if given) and print its id\n"
                                  "  log ID [VALUE]...     log the values into run ID, each stamped with the time it\n"
                                  "                        is logged; without values, one value a line from\n"
                                  "                        standard input. All or nothing: when a value is no\n"
                                  "                        number, nothing is logged\n"
                                  "  export ID             the run's readings as CSV (RFC 4180) on standard output:\n"
                                  "                        reading,time,value\n"
                                  "\n"
                                  "Options:\n"
                                  "      --database DB     the runs database: a postgresql:// connection URI, or the\n"
                                  "                        path of a SQLite file\n"
                                  "  -h, --help            show this help and exit\n"
                                  "      --version         show the version and exit\n"
                                  "\n"
                                  "The database is, first to last: --database, the environment variable\n"
                                  "QUORVALE_DATABASE, the key Runs/database in ~/.config/Quorvale/Quorvale.conf,\n"
                                  "and $XDG_DATA_HOME/quorvale/runs.sqlite (~/.local/share/quorvale/runs.sqlite).\n"
                                  "\n"
                                  "Exit status:\n"
                                  "  0  done\n"
                                  "  1  the database failed, the run is unknown, or a value is no number\n"
                                  "  2  a wrong command, option or argument\n";

struct UsageError {
    std::string problem;
};

int fail(const std::string& reason)
{
    std::cerr << "quorvale-runs: " << reason << "\n";
    return 1;
}

RunId runIdArgument(const std::vector<std::string>& arguments, std::size_t at)
{
    if (at >= arguments.size())
        throw UsageError{"a run id is missing"};
    const std::string& text = arguments[at];
    RunId id = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || id > (INT64_MAX - 9) / 10)
            throw UsageError{"'" + text + "' is not a run id"};
        id = id * 10 + (c - '0');
    }
    if (text.empty() || id == 0)
        throw UsageError{"'" + text + "' is not a run id"};
    return id;
}

void noMoreArguments(const std::vector<std::string>& arguments, std::size_t at)
{
    if (at < arguments.size())
        throw UsageError{"unexpected argument '" + arguments[at] + "'"};
}

int listRuns(RunStore& store)
{
    std::vector<RunSummary> runs;
    if (const Result listed = store.listRuns(runs); !listed)
        return fail(listed.reason);
    for (const RunSummary& run : runs)
        std::cout << RunListLine(run);
    return 0;
}

int newRun(RunStore& store, const std::optional<std::string>& part)
{
    RunChartRecord record = DefaultRunChartRecord();
    if (part)
        record.PartNumber = *part;
    RunId id = 0;
    if (const Result created = store.createRun(record, Moment::now(), id); !created)
        return fail(created.reason);
    std::cout << id << "\n";
    return 0;
}

// The values as kept, each checked before anything is logged; where is "line" or "value".
int logValues(RunStore& store, RunId id, const std::vector<std::string>& typed, const std::vector<int>& places,
              const char* where)
{
    std::vector<Decimal> values;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const auto kept = Decimal::parse(typed[i]);
        const std::string place = std::string(where) + " " + std::to_string(places[i]) + ": '" + typed[i] + "' ";
        if (kept && !ReadingInRange(*kept))
            return fail(place + "is beyond -1000000000 to 1000000000; nothing was logged");
        if (!kept)
            return fail(place + "is not a number; nothing was logged");
        values.push_back(*kept);
    }
    if (values.empty()) {
        StoredRun run;
        const Result found = store.loadRun(id, run);
        return found ? 0 : fail(found.reason);
    }
    std::vector<int> numbers;
    const Result logged = store.logReadings(id, values, Moment::now(), numbers);
    return logged ? 0 : fail(logged.reason);
}

int logFromInput(RunStore& store, RunId id)
{
    std::vector<std::string> typed;
    std::vector<int> lines;
    std::string line;
    for (int number = 1; std::getline(std::cin, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        typed.push_back(line);
        lines.push_back(number);
    }
    if (std::cin.bad())
        return fail("standard input cannot be read");
    return logValues(store, id, typed, lines, "line");
}

int exportRun(RunStore& store, RunId id)
{
    StoredRun run;
    if (const Result loaded = store.loadRun(id, run); !loaded)
        return fail(loaded.reason);
    std::cout << ReadingsCsv(run) << std::flush;
    return std::cout ? 0 : fail("standard output cannot be written");
}

// Opens the database and runs the command; a usage error is thrown before the database is touched.
int runCommand(const std::vector<std::string>& arguments, std::size_t at, const QString& database,
               const RunsDataFolder& folder)
{
    if (at >= arguments.size())
        throw UsageError{"a command is missing"};
    const std::string& command = arguments[at++];
    std::optional<std::string> part;
    RunId id = 0;
    std::vector<std::string> values;
    std::vector<int> places;
    if (command == "list") {
        noMoreArguments(arguments, at);
    } else if (command == "new") {
        if (at < arguments.size() && arguments[at].rfind("--part=", 0) == 0) {
            part = arguments[at++].substr(7);
        } else if (at < arguments.size() && arguments[at] == "--part") {
            if (++at >= arguments.size())
                throw UsageError{"--part needs a text"};
            part = arguments[at++];
        }
        noMoreArguments(arguments, at);
    } else if (command == "log") {
        id = runIdArgument(arguments, at++);
        for (; at < arguments.size(); ++at) {
            values.push_back(arguments[at]);
            places.push_back(int(values.size()));
        }
    } else if (command == "export") {
        id = runIdArgument(arguments, at++);
        noMoreArguments(arguments, at);
    } else {
        throw UsageError{"unknown command '" + command + "'"};
    }

    if (database.isEmpty() || database == folder.databaseFile()) {
        if (Result made = MakeUserDatabase(folder); !made)
            return fail(made.reason);
    }
    QString why;
    const std::unique_ptr<RunStore> store = RunStore::open(database, why);
    if (!store)
        return fail(why.toStdString());
    if (command == "list")
        return listRuns(*store);
    if (command == "new")
        return newRun(*store, part);
    if (command == "export")
        return exportRun(*store, id);
    return values.empty() ? logFromInput(*store, id) : logValues(*store, id, values, places, "value");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvale"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvale"));
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        QString option;
        std::size_t at = 0;
        for (; at < arguments.size() && arguments[at].rfind("-", 0) == 0; ++at) {
            const std::string& argument = arguments[at];
            if (argument == "-h" || argument == "--help") {
                std::cout << Usage << Help;
                return 0;
            }
            if (argument == "--version") {
                std::cout << "quorvale-runs " << QUORVALE_VERSION << "\n";
                return 0;
            }
            if (argument.rfind("--database=", 0) == 0) {
                option = QString::fromLocal8Bit(argument.substr(11));
            } else if (argument == "--database" && at + 1 < arguments.size()) {
                option = QString::fromLocal8Bit(arguments[++at]);
            } else {
                throw UsageError{argument == "--database" ? "--database needs a database"
                                                          : "unknown option '" + argument + "'"};
            }
            if (option.isEmpty())
                throw UsageError{"--database needs a database"};
        }
        const RunsDataFolder folder = OpenRunsDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        const QString database =
            ChooseRunsDatabase(option, qEnvironmentVariable("QUORVALE_DATABASE"),
                               QSettings().value(QStringLiteral("Runs/database")).toString(), folder.databaseFile());
        return runCommand(arguments, at, database, folder);
    } catch (const UsageError& error) {
        std::cerr << "quorvale-runs: " << error.problem << "\n" << Usage << "Try 'quorvale-runs --help' for more.\n";
        return 2;
    }
}

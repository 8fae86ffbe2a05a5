// quorvale-runs: lists, starts, logs into and exports the runs from the command line, on the
// database the program uses.
#include "reading.h"
#include "runchartrecord.h"
#include "runsdatabase.h"
#include "runstext.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
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
                                  "  new [FIELD TEXT]... [--deviations] [--create]\n"
                                  "                        start an open run and print its id; the record is the\n"
                                  "                        default one with the fields given changed (below)\n"
                                  "  log ID [VALUE]...     log the values into run ID, each stamped with the time it\n"
                                  "                        is logged; without values, one value a line from\n"
                                  "                        standard input. All or nothing: when a value is no\n"
                                  "                        number, nothing is logged\n"
                                  "  export ID             the run's readings as CSV (RFC 4180) on standard output:\n"
                                  "                        reading,time,value; a reading keeps its number in the\n"
                                  "                        run when others before it were removed\n"
                                  "\n"
                                  "The record's fields for new:\n"
                                  "  --part, --customer, --description, --inspector, --operation, --date,\n"
                                  "  --approved-by, --approval-date, --department, --drawing-revision,\n"
                                  "  --chart-revision, --upper (the upper tolerance), --lower (the lower\n"
                                  "  tolerance), --frequency, --check (the dimension checked), --tool,\n"
                                  "  --sheet, --sheet-of, --comments\n"
                                  "  --deviations          the readings are deviations from the check dimension\n"
                                  "  --create              make the SQLite file DB where it does not exist yet\n"
                                  "\n"
                                  "Options:\n"
                                  "      --database DB     the runs database: a PostgreSQL server named by a\n"
                                  "                        postgresql:// or postgres:// URI or by libpq settings\n"
                                  "                        (\"host=db dbname=runs user=qc\"), or the path of a SQLite\n"
                                  "                        file, which must exist (see new --create)\n"
                                  "  -h, --help            show this help and exit\n"
                                  "      --version         show the version and exit\n"
                                  "\n"
                                  "The database is, first to last: --database, the environment variable\n"
                                  "QUORVALE_DATABASE, the key Runs/database in ~/.config/Quorvale/Quorvale.conf,\n"
                                  "and $XDG_DATA_HOME/quorvale/runs.sqlite (~/.local/share/quorvale/runs.sqlite),\n"
                                  "which is made on first use. A password in the name is never shown; better\n"
                                  "still, keep it in ~/.pgpass.\n"
                                  "\n"
                                  "Exit status:\n"
                                  "  0  done\n"
                                  "  1  the database failed, the run is unknown, a value is no number, or the\n"
                                  "     output cannot be written\n"
                                  "  2  a wrong command, option or argument\n";

// The record's fields that new takes, each as an option of its own.
struct FieldOption {
    const char* option;
    std::string RunChartRecord::*field;
};

constexpr FieldOption FieldOptions[] = {
    {"--part", &RunChartRecord::PartNumber},
    {"--customer", &RunChartRecord::CustomerName},
    {"--description", &RunChartRecord::Description},
    {"--inspector", &RunChartRecord::Inspector},
    {"--operation", &RunChartRecord::OperationNumber},
    {"--date", &RunChartRecord::DateInspector},
    {"--approved-by", &RunChartRecord::ApprovedBy},
    {"--approval-date", &RunChartRecord::DateApprovedBy},
    {"--department", &RunChartRecord::Department},
    {"--drawing-revision", &RunChartRecord::DrawingRevision},
    {"--chart-revision", &RunChartRecord::RunChartRevision},
    {"--upper", &RunChartRecord::UpperTolerance},
    {"--lower", &RunChartRecord::LowerTolerance},
    {"--frequency", &RunChartRecord::Frequency},
    {"--check", &RunChartRecord::Check},
    {"--tool", &RunChartRecord::InspectionTool},
    {"--sheet", &RunChartRecord::Sheet},
    {"--sheet-of", &RunChartRecord::SheetOf},
    {"--comments", &RunChartRecord::Comments},
};

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

// Writes the text on standard output; exit status 1 when it cannot be written whole, saying what
// was done all the same (whatIsDone, when given).
int print(const std::string_view text, const std::string& whatIsDone = {})
{
    std::cout << text << std::flush;
    if (std::cout)
        return 0;
    return fail("standard output cannot be written" + (whatIsDone.empty() ? std::string() : "; " + whatIsDone));
}

int listRuns(RunStore& store)
{
    std::vector<RunSummary> runs;
    if (const Result listed = store.listRuns(runs); !listed)
        return fail(listed.reason);
    std::string lines;
    for (const RunSummary& run : runs)
        lines += RunListLine(run);
    return print(lines);
}

int newRun(RunStore& store, const RunChartRecord& record)
{
    RunId id = 0;
    if (const Result created = store.createRun(record, Moment::now(), id); !created)
        return fail(created.reason);
    return print(std::to_string(id) + "\n", "run " + std::to_string(id) + " was started");
}

// new's options: the record's fields, --deviations and --create.
RunChartRecord newRunOptions(const std::vector<std::string>& arguments, std::size_t at, bool& create)
{
    RunChartRecord record = DefaultRunChartRecord();
    while (at < arguments.size()) {
        const std::string& argument = arguments[at++];
        if (argument == "--create") {
            create = true;
            continue;
        }
        if (argument == "--deviations") {
            record.ReadingsAreDeviations = true;
            continue;
        }
        const std::string name = argument.substr(0, argument.find('='));
        const auto* field = std::find_if(std::begin(FieldOptions), std::end(FieldOptions),
                                         [&](const FieldOption& option) { return name == option.option; });
        if (field == std::end(FieldOptions))
            throw UsageError{argument.rfind("-", 0) == 0 ? "unknown option '" + argument + "' for new"
                                                         : "unexpected argument '" + argument + "'"};
        if (name.size() < argument.size())
            record.*field->field = argument.substr(name.size() + 1);
        else if (at < arguments.size())
            record.*field->field = arguments[at++];
        else
            throw UsageError{name + " needs a text"};
    }
    return record;
}

// The values as kept, each checked before anything is logged; where is "line" or "value".
int logValues(RunStore& store, RunId id, const std::vector<std::string>& typed, const std::vector<int>& places,
              const char* where)
{
    std::vector<std::string> values;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const auto kept = ReadingValueText(typed[i]);
        const std::string place = std::string(where) + " " + std::to_string(places[i]) + ": '" + typed[i] + "' ";
        if (kept && ReadingNumber(*kept) && !ReadingInRange(*kept))
            return fail(place + "is beyond -1000000000 to 1000000000; nothing was logged");
        if (!kept || !IsStorableReading(*kept))
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
    return print(ReadingsCsv(run));
}

// The user's own file is made on first use; a file named otherwise must be there, unless it is to be
// made, so that a mistyped name is not taken for a new empty database.
Result usableDatabase(const QString& database, const RunsDataFolder& folder, bool create)
{
    if (database.isEmpty() || database == folder.databaseFile())
        return MakeUserDatabase(folder);
    if (IsServerDatabase(database) || !CheckDatabaseName(database) || create || QFileInfo::exists(database))
        return {};
    return Result::failure("the runs database " + database.toStdString() +
                           " does not exist; 'quorvale-runs --database DB new --create' makes it");
}

// Opens the database and runs the command; a usage error is thrown before the database is touched.
int runCommand(const std::vector<std::string>& arguments, std::size_t at, const QString& database,
               const RunsDataFolder& folder)
{
    if (at >= arguments.size())
        throw UsageError{"a command is missing"};
    const std::string& command = arguments[at++];
    RunChartRecord record;
    bool create = false;
    RunId id = 0;
    std::vector<std::string> values;
    std::vector<int> places;
    if (command == "list") {
        noMoreArguments(arguments, at);
    } else if (command == "new") {
        record = newRunOptions(arguments, at, create);
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

    if (Result named = usableDatabase(database, folder, create); !named)
        return fail(named.reason);
    QString why;
    const std::unique_ptr<RunStore> store = RunStore::open(database, why);
    if (!store)
        return fail(why.toStdString());
    if (command == "list")
        return listRuns(*store);
    if (command == "new")
        return newRun(*store, record);
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
            if (argument == "-h" || argument == "--help")
                return print(std::string(Usage) + std::string(Help));
            if (argument == "--version")
                return print("quorvale-runs " QUORVALE_VERSION "\n");
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

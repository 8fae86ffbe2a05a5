// quorvale-runs: lists, starts, logs into and exports the runs from the command line, on the
// database the program uses.
#include "reading.h"
#include "runchartrecord.h"
#include "runsdatabase.h"
#include "runstext.h"

#include <QCoreApplication>
#include <QDateTime>
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
                                  "  new [FIELD TEXT]... [--deviations] [--anhoj-rules] [--create]\n"
                                  "                        start an open run and print its id; the record is the\n"
                                  "                        default one with the fields given changed (below)\n"
                                  "  log ID [VALUE]...     log the values into run ID, each stamped with the time it\n"
                                  "                        is logged; without values, one value a line from\n"
                                  "                        standard input. All or nothing: when a value is no\n"
                                  "                        number, nothing is logged\n"
                                  "\n"
                                  "new and log also take, before their other arguments:\n"
                                  "  --change-id ID        the change's identity: the database takes a change with\n"
                                  "                        one identity once, however often it is sent\n"
                                  "  --at TIME             when the change was made (ISO 8601 with the UTC offset)\n"
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
                                  "  --anhoj-rules         signals by Anhøj's rules (a run too long, too few\n"
                                  "                        crossings of the median), not by shift and trend\n"
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
                                  "  2  a wrong command, option or argument\n"
                                  "  3  outcome unknown: the answer from the database was lost, so the change may\n"
                                  "     or may not be stored; the command line printed with it sends the same\n"
                                  "     change again, and stores it exactly once\n";

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

constexpr int OutcomeUnknownStatus = 3;

int fail(const std::string& reason)
{
    std::cerr << "quorvale-runs: " << reason << "\n";
    return 1;
}

// A change as the command makes it: its identity and its time, given again when it is retried.
struct ChangeOptions {
    std::string id = NewIdentity();
    Moment at = Moment::now();
};

std::string quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The command line that sends the same change again; the database without its password.
std::string retryLine(const QString& databaseOption, const std::string& command, const ChangeOptions& change)
{
    std::string line = "quorvale-runs";
    if (!databaseOption.isEmpty()) {
        line += " --database " + quoted(WithoutPassword(databaseOption).toStdString());
    }
    return line + " " + command + " --change-id " + change.id + " --at " + IsoText(change.at);
}

// Whether the store committed is unknown: the same change, sent again, is stored exactly once.
int outcome(const Result& result, const std::string& retry)
{
    if (result)
        return 0;
    if (result.error != StoreError::OutcomeUnknown)
        return fail(result.reason);
    std::cerr << "quorvale-runs: outcome unknown: " << result.reason << "\n"
              << "quorvale-runs: this sends the same change again and stores it exactly once:\n"
              << retry << "\n";
    return OutcomeUnknownStatus;
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

// What new starts: the default record with the fields given changed, those options again for the
// command line that sends the same change, and whether a missing file is to be made.
struct NewRun {
    RunChartRecord record = DefaultRunChartRecord();
    std::string arguments;
    bool create = false;
};

int newRun(RunStore& store, const NewRun& run, const ChangeOptions& options, const QString& databaseOption)
{
    // The run takes the change's identity, so that the same change sent again finds the same run.
    RunChange change;
    change.id = change.runKey = options.id;
    change.kind = RunChangeKind::StartRun;
    change.at = options.at;
    change.record = run.record;
    const std::string retry = retryLine(databaseOption, "new", options) + run.arguments;
    if (const int status = outcome(store.apply({&change, 1}), retry))
        return status;
    std::optional<RunId> id;
    if (const Result found = store.findRun(change.runKey, id); !found || !id)
        return fail(found ? "the run " + change.runKey + " is gone" : found.reason);
    return print(std::to_string(*id) + "\n", "run " + std::to_string(*id) + " was started");
}

// The values as kept, each checked before anything is logged; where is "line" or "value".
int logValues(RunStore& store, RunId id, const std::vector<std::string>& typed, const std::vector<int>& places,
              const char* where, const ChangeOptions& options, const QString& databaseOption)
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
    std::string run;
    if (const Result found = store.runKey(id, run); !found)
        return fail(found.reason);
    // One change a value, each with an identity of the command's change and the value's place.
    std::vector<RunChange> changes;
    std::string retry = retryLine(databaseOption, "log", options) + " " + std::to_string(id);
    for (const Decimal& value : values) {
        const std::string key = options.id + "-" + std::to_string(changes.size() + 1);
        changes.push_back({key, run, RunChangeKind::LogReading, options.at, key, {options.at, value}, {}});
        retry += " " + value.text();
    }
    return outcome(store.apply(changes), retry);
}

int logFromInput(RunStore& store, RunId id, const ChangeOptions& options, const QString& databaseOption)
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
    return logValues(store, id, typed, lines, "line", options, databaseOption);
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

// The option's value, as "--name VALUE" or "--name=VALUE", moving at past it; none for another argument.
std::optional<std::string> optionValue(const std::vector<std::string>& arguments, std::size_t& at, const char* name)
{
    const std::string& argument = arguments[at];
    if (argument.rfind(std::string(name) + "=", 0) == 0)
        return arguments[at++].substr(std::string(name).size() + 1);
    if (argument != name)
        return std::nullopt;
    if (++at >= arguments.size())
        throw UsageError{std::string(name) + " needs a value"};
    return arguments[at++];
}

// One of new's options: a field of the record, --deviations, --anhoj-rules or --create.
void newRunOption(const std::vector<std::string>& arguments, std::size_t& at, NewRun& run)
{
    if (arguments[at] == "--create") {
        run.create = true;
        ++at;
        return;
    }
    if (arguments[at] == "--deviations" || arguments[at] == "--anhoj-rules") {
        if (arguments[at] == "--deviations")
            run.record.ReadingsAreDeviations = true;
        else
            run.record.Rules = RunRules::Anhoj;
        run.arguments.append(" ").append(arguments[at]);
        ++at;
        return;
    }
    for (const FieldOption& field : FieldOptions) {
        if (const auto text = optionValue(arguments, at, field.option)) {
            run.record.*field.field = *text;
            run.arguments += std::string(" ") + field.option + " " + quoted(*text);
            return;
        }
    }
    throw UsageError{arguments[at].rfind("-", 0) == 0 ? "unknown option '" + arguments[at] + "' for new"
                                                      : "unexpected argument '" + arguments[at] + "'"};
}

// --change-id and --at, where they come; what the other options of the command leave.
bool changeOption(const std::vector<std::string>& arguments, std::size_t& at, ChangeOptions& change)
{
    if (const auto id = optionValue(arguments, at, "--change-id")) {
        if (id->empty() || id->size() > 64 ||
            id->find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-") !=
                std::string::npos)
            throw UsageError{"'" + *id + "' is not a change identity"};
        change.id = *id;
        return true;
    }
    if (const auto time = optionValue(arguments, at, "--at")) {
        const QDateTime parsed = QDateTime::fromString(QString::fromStdString(*time), Qt::ISODate);
        change.at = {parsed.toSecsSinceEpoch(), parsed.offsetFromUtc()};
        if (!parsed.isValid() || IsoText(change.at) != *time)
            throw UsageError{"'" + *time + "' is no time such as 2026-12-07T14:28:05+01:00"};
        return true;
    }
    return false;
}

// Opens the database and runs the command; a usage error is thrown before the database is touched.
int runCommand(const std::vector<std::string>& arguments, std::size_t at, const QString& database,
               const RunsDataFolder& folder, const QString& databaseOption)
{
    if (at >= arguments.size())
        throw UsageError{"a command is missing"};
    const std::string& command = arguments[at++];
    NewRun started;
    ChangeOptions change;
    RunId id = 0;
    std::vector<std::string> values;
    std::vector<int> places;
    if (command == "list") {
        noMoreArguments(arguments, at);
    } else if (command == "new") {
        while (at < arguments.size()) {
            if (!changeOption(arguments, at, change))
                newRunOption(arguments, at, started);
        }
    } else if (command == "log") {
        while (at < arguments.size() && changeOption(arguments, at, change)) {
        }
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

    if (Result named = usableDatabase(database, folder, started.create); !named)
        return fail(named.reason);
    QString why;
    const std::unique_ptr<RunStore> store = RunStore::open(database, why);
    if (!store)
        return fail(why.toStdString());
    if (command == "list")
        return listRuns(*store);
    if (command == "new")
        return newRun(*store, started, change, databaseOption);
    if (command == "export")
        return exportRun(*store, id);
    return values.empty() ? logFromInput(*store, id, change, databaseOption)
                          : logValues(*store, id, values, places, "value", change, databaseOption);
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
        return runCommand(arguments, at, database, folder, option);
    } catch (const UsageError& error) {
        std::cerr << "quorvale-runs: " << error.problem << "\n" << Usage << "Try 'quorvale-runs --help' for more.\n";
        return 2;
    }
}

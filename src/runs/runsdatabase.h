// Which runs database to use and how to reach it: a SQLite file, or a PostgreSQL server named as
// libpq names one (see serveraddress.h); and the user's data folder, where the per-user file lives.
#pragma once

#include "result.h"
#include "serveraddress.h"

#include <QString>

namespace quorvale {

// The folder of the user's runs and of what the program keeps about them, and whether it may be used.
struct RunsDataFolder {
    QString path;  // empty when no folder could be named
    Result usable; // why the folder may not be used
    // The per-user SQLite file in it; none without a folder.
    QString databaseFile() const { return path.isEmpty() ? QString() : path + QStringLiteral("/runs.sqlite"); }
};

// $XDG_DATA_HOME/quorvale, or ~/.local/share/quorvale where XDG_DATA_HOME is unset or not absolute;
// made with mode 0700 where missing, and used only when it is the user's own and no link. The
// arguments are the variables' values, null when unset.
RunsDataFolder OpenRunsDataFolder(const char* xdgDataHome, const char* home);

// Makes the per-user file where missing (mode 0600, never through a link) in a folder that may be
// used; the folder's reason when it may not.
Result MakeUserDatabase(const RunsDataFolder& folder);

// The first of the --database option, QUORVALE_DATABASE and the settings key Runs/database that is
// given; the per-user SQLite file when none is.
QString ChooseRunsDatabase(const QString& option, const QString& environment, const QString& setting,
                           const QString& defaultPath);

// Whether the name may be used: a server's address libpq would take, or a file's path (a name that
// starts like a URI is neither).
Result CheckDatabaseName(const QString& name);

// How messages name the database: the file's path, or the server without its password.
QString DescribeDatabase(const QString& database);

} // namespace quorvale

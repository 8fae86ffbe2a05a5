// Which runs database to use and how to reach it: a SQLite file, or a PostgreSQL server named by a
// libpq connection URI ("postgresql://user@host:5432/runs?sslmode=require").
#pragma once

#include <QString>

namespace quorvale {

// The first of the --database option, QUORVALE_DATABASE and the settings key Runs/database that is
// given; the per-user SQLite file when none is.
QString ChooseRunsDatabase(const QString& option, const QString& environment, const QString& setting,
                           const QString& defaultPath);

// $XDG_DATA_HOME/quorvale/runs.sqlite, or ~/.local/share/quorvale/runs.sqlite where XDG_DATA_HOME is
// unset or not absolute.
QString DefaultRunsDatabasePath(const char* xdgDataHome, const char* home);

bool IsServerDatabase(const QString& database);

// A PostgreSQL URI taken apart for Qt's driver: what the URI leaves out is libpq's default.
struct ServerAddress {
    QString host; // a name, an address or the folder of a Unix socket
    int port = -1;
    QString databaseName;
    QString user;
    QString password;
    QString options; // the URI's other parameters, as "key='value';..." for the driver
};

// False, with the reason, when the text is no postgresql:// URI that libpq would take.
bool ParseServerAddress(const QString& uri, ServerAddress& address, QString& why);

// How messages name the database: the file's path, or the server without its password.
QString DescribeDatabase(const QString& database);

} // namespace quorvale

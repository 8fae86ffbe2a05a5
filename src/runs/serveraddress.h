// A PostgreSQL server's address as libpq reads it: a URI ("postgresql://qc@db:5432/runs?sslmode=require",
// or postgres://) or a connection string of settings ("host=db dbname=runs user=qc").
#pragma once

#include "result.h"

#include <QString>

namespace quorvale {

struct ServerAddress {
    QString host; // a name, an address or the folder of a Unix socket
    int port = -1;
    QString databaseName;
    QString user;
    QString password;
    QString service; // a section of the connection service file, which may name all of the above
    QString options; // libpq's other settings, as "key='value';..." for Qt's driver
};

// A URI of either scheme, or text that starts with a setting's name and "=": what libpq takes as a
// server's address rather than a file's name.
bool IsServerDatabase(const QString& name);

// Whether the name starts like a URI ("scheme://", or postgresql: alone), so that it is no file's name.
bool LooksLikeUri(const QString& name);

// The address; the reason, never quoting the password, when libpq would not take it.
Result ParseServerAddress(const QString& name, ServerAddress& address);

// The name as it may be shown and used again: with a password in it, the same server as libpq's
// settings without the password; otherwise the name as it is.
QString WithoutPassword(const QString& name);

} // namespace quorvale

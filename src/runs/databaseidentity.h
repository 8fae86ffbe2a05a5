// The one database a name reaches, however the name is spelled: what is kept beside a database (the
// last run, the changes still to be written) belongs to this identity, so that a path spelt another
// way or a password moved out of the name finds the same, and one database's never reaches another.
#pragma once

#include "result.h"

#include <QString>

namespace quorvale {

struct DatabaseIdentity {
    // A SQLite file: "file DEVICE:INODE", or "file DEVICE:INODE/NAME" for one its folder does not hold
    // yet (the folder's numbers). A server: "server HOST:PORT/DATABASE USER", libpq's defaults filled
    // in; never the password.
    QString text;

    // The identity as a file name's part: hexadecimal digits of its digest.
    QString key() const;
    bool operator==(const DatabaseIdentity&) const = default;
};

// Fails when the name is none CheckDatabaseName takes, or the file's folder cannot be found.
Result IdentifyDatabase(const QString& name, DatabaseIdentity& identity);

} // namespace quorvale

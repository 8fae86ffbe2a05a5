#include "databaseidentity.h"

#include "runsdatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

QString numbers(const struct stat& status)
{
    return QStringLiteral("%1:%2").arg(quint64(status.st_dev)).arg(quint64(status.st_ino));
}

// Built through QString: g++ 12 warns falsely (-Wrestrict) on "'" + std::string when optimising.
std::string quoted(const QString& path)
{
    return QStringLiteral("'%1'").arg(path).toStdString();
}

Result identifyFile(const QString& path, QString& text)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        text = QStringLiteral("file ") + numbers(status);
        return {};
    }
    if (const int error = errno; error != ENOENT)
        return Result::failure(error, quoted(path));
    const QFileInfo file(path);
    const QString folder = file.path();
    if (::stat(QFile::encodeName(folder).constData(), &status) != 0) {
        const int error = errno;
        return Result::failure(error, quoted(folder));
    }
    text = QStringLiteral("file ") + numbers(status) + QLatin1Char('/') + file.fileName();
    return {};
}

QString environment(const char* name)
{
    return qEnvironmentVariable(name);
}

// What libpq uses where the address leaves a part out: the variables, then its built-in defaults.
QString serverText(const ServerAddress& address)
{
    QString host = address.host.isEmpty() ? environment("PGHOST") : address.host;
    if (host.isEmpty())
        host = QStringLiteral("/var/run/postgresql");
    host = host.startsWith(QLatin1Char('/')) ? QDir::cleanPath(host) : host.toLower();
    int port = address.port;
    if (port <= 0)
        port = environment("PGPORT").toInt();
    if (port <= 0)
        port = 5432;
    QString user = address.user.isEmpty() ? environment("PGUSER") : address.user;
    if (user.isEmpty()) {
        if (const passwd* entry = ::getpwuid(::geteuid()))
            user = QString::fromLocal8Bit(entry->pw_name);
    }
    QString database = address.databaseName.isEmpty() ? environment("PGDATABASE") : address.databaseName;
    if (database.isEmpty())
        database = user;
    QString text = QStringLiteral("server %1:%2/%3 %4").arg(host).arg(port).arg(database, user);
    if (!address.service.isEmpty())
        text += QStringLiteral(" service ") + address.service;
    return text;
}

} // namespace

QString DatabaseIdentity::key() const
{
    return QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(32));
}

Result IdentifyDatabase(const QString& name, DatabaseIdentity& identity)
{
    identity = {};
    if (Result checked = CheckDatabaseName(name); !checked)
        return checked;
    if (!IsServerDatabase(name))
        return identifyFile(name, identity.text);
    ServerAddress address;
    ParseServerAddress(name, address);
    identity.text = serverText(address);
    return {};
}

} // namespace quorvale

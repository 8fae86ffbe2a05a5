#include "runsdatabase.h"

#include <QDir>
#include <QUrl>

namespace quorvale {

namespace {

const QString UriPrefix = QStringLiteral("postgresql://");

QString decoded(const QString& text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

// A value for the driver's options, quoted as libpq's connection strings quote.
QString quotedOption(const QString& key, QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return key + QLatin1String("='") + value + QLatin1Char('\'');
}

bool parsePort(const QString& text, int& port)
{
    bool number = false;
    port = text.toInt(&number);
    return number && port > 0 && port < 65536;
}

// "host:port" or "[v6 address]:port", each part optional.
bool parseHost(const QString& hostAndPort, ServerAddress& address, QString& why)
{
    QString host = hostAndPort;
    QString port;
    const qsizetype colon = hostAndPort.lastIndexOf(QLatin1Char(':'));
    const qsizetype bracket = hostAndPort.lastIndexOf(QLatin1Char(']'));
    if (colon >= 0 && colon > bracket) {
        host = hostAndPort.left(colon);
        port = hostAndPort.mid(colon + 1);
    }
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    address.host = decoded(host);
    if (!port.isEmpty() && !parsePort(port, address.port)) {
        why = QStringLiteral("the port \"%1\" is not a number from 1 to 65535").arg(port);
        return false;
    }
    return true;
}

} // namespace

QString ChooseRunsDatabase(const QString& option, const QString& environment, const QString& setting,
                           const QString& defaultPath)
{
    for (const QString* choice : {&option, &environment, &setting}) {
        if (!choice->isEmpty())
            return *choice;
    }
    return defaultPath;
}

QString DefaultRunsDatabasePath(const char* xdgDataHome, const char* home)
{
    QString data = xdgDataHome ? QString::fromLocal8Bit(xdgDataHome) : QString();
    if (!QDir::isAbsolutePath(data))
        data = QString::fromLocal8Bit(home ? home : "") + QLatin1String("/.local/share");
    return data + QLatin1String("/quorvale/runs.sqlite");
}

bool IsServerDatabase(const QString& database)
{
    return database.startsWith(UriPrefix);
}

bool ParseServerAddress(const QString& uri, ServerAddress& address, QString& why)
{
    address = {};
    if (!IsServerDatabase(uri)) {
        why = QStringLiteral("it does not start with postgresql://");
        return false;
    }
    QString rest = uri.mid(UriPrefix.size());
    QString query;
    if (const qsizetype mark = rest.indexOf(QLatin1Char('?')); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    QString authority = rest;
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        authority = rest.left(slash);
        address.databaseName = decoded(rest.mid(slash + 1));
    }
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString user = authority.left(at);
        const qsizetype colon = user.indexOf(QLatin1Char(':'));
        address.user = decoded(user.left(colon));
        if (colon >= 0)
            address.password = decoded(user.mid(colon + 1));
        authority = authority.mid(at + 1);
    }
    if (authority.contains(QLatin1Char(','))) {
        why = QStringLiteral("several hosts are not supported; name one");
        return false;
    }
    if (!parseHost(authority, address, why))
        return false;

    // Parameters name what the URI's parts do (host=/run/postgresql for a socket) or more of libpq's settings.
    QStringList options;
    for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            why = QStringLiteral("the parameter \"%1\" has no value").arg(pair);
            return false;
        }
        const QString key = decoded(pair.left(equals));
        const QString value = decoded(pair.mid(equals + 1));
        if (key == QLatin1String("host"))
            address.host = value;
        else if (key == QLatin1String("port")) {
            if (!parsePort(value, address.port)) {
                why = QStringLiteral("the port \"%1\" is not a number from 1 to 65535").arg(value);
                return false;
            }
        } else if (key == QLatin1String("dbname"))
            address.databaseName = value;
        else if (key == QLatin1String("user"))
            address.user = value;
        else if (key == QLatin1String("password"))
            address.password = value;
        else
            options << quotedOption(key, value);
    }
    address.options = options.join(QLatin1Char(';'));
    return true;
}

QString DescribeDatabase(const QString& database)
{
    if (!IsServerDatabase(database))
        return QDir::toNativeSeparators(database);
    ServerAddress address;
    QString why;
    if (!ParseServerAddress(database, address, why))
        return QStringLiteral("the server given as postgresql://...");
    QString text =
        QStringLiteral("the server ") + (address.host.isEmpty() ? QStringLiteral("localhost") : address.host);
    if (address.port > 0)
        text += QLatin1Char(':') + QString::number(address.port);
    if (!address.databaseName.isEmpty())
        text += QStringLiteral(", database ") + address.databaseName;
    if (!address.user.isEmpty())
        text += QStringLiteral(", user ") + address.user;
    return text;
}

} // namespace quorvale

#include "serveraddress.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace quorvale {

namespace {

const QString UriPrefixes[] = {QStringLiteral("postgresql://"), QStringLiteral("postgres://")};

// Every setting libpq 15 knows; a name it does not know makes it refuse the whole address.
constexpr std::string_view Settings[] = {"application_name",
                                         "channel_binding",
                                         "client_encoding",
                                         "connect_timeout",
                                         "dbname",
                                         "fallback_application_name",
                                         "gssdelegation",
                                         "gssencmode",
                                         "gsslib",
                                         "host",
                                         "hostaddr",
                                         "keepalives",
                                         "keepalives_count",
                                         "keepalives_idle",
                                         "keepalives_interval",
                                         "krbsrvname",
                                         "load_balance_hosts",
                                         "options",
                                         "passfile",
                                         "password",
                                         "port",
                                         "replication",
                                         "require_auth",
                                         "requirepeer",
                                         "requiressl",
                                         "service",
                                         "ssl_max_protocol_version",
                                         "ssl_min_protocol_version",
                                         "sslcert",
                                         "sslcertmode",
                                         "sslcompression",
                                         "sslcrl",
                                         "sslcrldir",
                                         "sslkey",
                                         "sslmode",
                                         "sslpassword",
                                         "sslrootcert",
                                         "sslsni",
                                         "target_session_attrs",
                                         "tcp_user_timeout",
                                         "user",
                                         "sslnegotiation",
                                         "scram_client_key"};

bool knownSetting(const QString& key)
{
    const std::string name = key.toStdString();
    return std::find(std::begin(Settings), std::end(Settings), name) != std::end(Settings);
}

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

Result parsePort(const QString& text, int& port)
{
    bool number = false;
    port = text.toInt(&number);
    if (number && port > 0 && port < 65536)
        return {};
    return Result::failure(QStringLiteral("the port \"%1\" is not a number from 1 to 65535").arg(text).toStdString());
}

// One setting, from a URI's parameters or a connection string: the address's parts, or an option.
Result applySetting(const QString& key, const QString& value, ServerAddress& address, QStringList& options)
{
    if (!knownSetting(key))
        return Result::failure(QStringLiteral("\"%1\" is no setting that PostgreSQL knows").arg(key).toStdString());
    if (key == QLatin1String("host"))
        address.host = value;
    else if (key == QLatin1String("port"))
        return parsePort(value, address.port);
    else if (key == QLatin1String("dbname"))
        address.databaseName = value;
    else if (key == QLatin1String("user"))
        address.user = value;
    else if (key == QLatin1String("password"))
        address.password = value;
    else if (key == QLatin1String("service"))
        address.service = value;
    else
        options << quotedOption(key, value);
    return {};
}

// "host:port" or "[v6 address]:port", each part optional.
Result parseHost(const QString& hostAndPort, ServerAddress& address)
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
    return port.isEmpty() ? Result{} : parsePort(port, address.port);
}

Result parseUri(const QString& uri, qsizetype prefix, ServerAddress& address, QStringList& options)
{
    QString rest = uri.mid(prefix);
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
    if (authority.contains(QLatin1Char(',')))
        return Result::failure("several hosts are not supported; name one");
    if (Result host = parseHost(authority, address); !host)
        return host;
    // Parameters name what the URI's parts do (host=/run/postgresql for a socket) or more of libpq's settings.
    for (const QString& pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return Result::failure(QStringLiteral("the parameter \"%1\" has no value").arg(pair).toStdString());
        if (Result applied = applySetting(decoded(pair.left(equals)), decoded(pair.mid(equals + 1)), address, options);
            !applied)
            return applied;
    }
    return {};
}

// Settings as libpq reads them: "key = value" apart by blanks, a value in single quotes where it
// holds blanks, a backslash taking the next character as it is.
Result parseSettings(const QString& text, ServerAddress& address, QStringList& options)
{
    qsizetype at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && text[at].isSpace())
            ++at;
    };
    for (skipBlanks(); at < text.size(); skipBlanks()) {
        const qsizetype start = at;
        while (at < text.size() && !text[at].isSpace() && text[at] != QLatin1Char('='))
            ++at;
        const QString key = text.mid(start, at - start);
        skipBlanks();
        if (at >= text.size() || text[at] != QLatin1Char('='))
            return Result::failure(QStringLiteral("the setting \"%1\" has no value").arg(key).toStdString());
        ++at;
        skipBlanks();
        QString value;
        const bool quoted = at < text.size() && text[at] == QLatin1Char('\'');
        at += quoted ? 1 : 0;
        for (; at < text.size(); ++at) {
            const QChar c = text[at];
            if (quoted ? c == QLatin1Char('\'') : c.isSpace())
                break;
            if (c == QLatin1Char('\\') && at + 1 < text.size())
                ++at;
            value += text[at];
        }
        if (quoted && at++ >= text.size())
            return Result::failure(
                QStringLiteral("the value of the setting \"%1\" lacks its closing quote").arg(key).toStdString());
        if (Result applied = applySetting(key, value, address, options); !applied)
            return applied;
    }
    return {};
}

qsizetype uriPrefix(const QString& name)
{
    for (const QString& prefix : UriPrefixes) {
        if (name.startsWith(prefix))
            return prefix.size();
    }
    return 0;
}

} // namespace

bool IsServerDatabase(const QString& name)
{
    static const QRegularExpression setting(QStringLiteral("^\\s*[A-Za-z_]+\\s*="));
    return uriPrefix(name) > 0 || setting.match(name).hasMatch();
}

bool LooksLikeUri(const QString& name)
{
    static const QRegularExpression uri(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*://|postgres(ql)?:)"),
                                        QRegularExpression::CaseInsensitiveOption);
    return uri.match(name).hasMatch();
}

namespace {

// The address and libpq's other settings, each quoted as libpq quotes them.
Result parseAddress(const QString& name, ServerAddress& address, QStringList& options)
{
    address = {};
    const qsizetype prefix = uriPrefix(name);
    return prefix > 0               ? parseUri(name, prefix, address, options)
           : IsServerDatabase(name) ? parseSettings(name, address, options)
                                    : Result::failure("it is neither a postgresql:// URI nor settings "
                                                      "such as host=... dbname=...");
}

} // namespace

Result ParseServerAddress(const QString& name, ServerAddress& address)
{
    QStringList options;
    const Result parsed = parseAddress(name, address, options);
    address.options = options.join(QLatin1Char(';'));
    return parsed;
}

QString WithoutPassword(const QString& name)
{
    ServerAddress address;
    QStringList settings;
    if (!parseAddress(name, address, settings) || address.password.isEmpty())
        return name;
    if (address.port > 0)
        settings.prepend(QStringLiteral("port=%1").arg(address.port));
    const std::pair<const char*, const QString*> named[] = {{"service", &address.service},
                                                            {"user", &address.user},
                                                            {"dbname", &address.databaseName},
                                                            {"host", &address.host}};
    for (const auto& [key, value] : named) {
        if (!value->isEmpty())
            settings.prepend(quotedOption(QLatin1String(key), *value));
    }
    return settings.join(QLatin1Char(' '));
}

} // namespace quorvale

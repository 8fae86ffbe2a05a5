#include "runsdatabase.h"

#include "privatefolder.h"

#include <QDir>
#include <QFile>

#include <filesystem>

namespace quorvale {

RunsDataFolder OpenRunsDataFolder(const char* xdgDataHome, const char* home)
{
    const auto absolute = [](const char* value) { return value && value[0] == '/'; };
    const std::string data = absolute(xdgDataHome) ? std::string(xdgDataHome)
                             : absolute(home)      ? std::string(home) + "/.local/share"
                                                   : std::string();
    if (data.empty())
        return {{},
                Result::failure("neither HOME nor XDG_DATA_HOME names a folder, so there is no folder for the "
                                "runs; set one of them, or name a database with --database")};
    std::error_code ignored; // a folder that cannot be made is reported below
    std::filesystem::create_directories(data, ignored);
    const std::string folder = data + "/quorvale";
    return {QDir::cleanPath(QString::fromLocal8Bit(folder)), MakePrivateFolder(data, folder)};
}

Result MakeUserDatabase(const RunsDataFolder& folder)
{
    return folder.usable ? MakePrivateFile(QFile::encodeName(folder.databaseFile()).toStdString()) : folder.usable;
}

QString ChooseRunsDatabase(const QString& option, const QString& environment, const QString& setting,
                           const QString& defaultPath)
{
    for (const QString* choice : {&option, &environment, &setting}) {
        if (!choice->isEmpty())
            return *choice;
    }
    return defaultPath;
}

Result CheckDatabaseName(const QString& name)
{
    if (IsServerDatabase(name)) {
        ServerAddress address;
        return ParseServerAddress(name, address);
    }
    if (LooksLikeUri(name))
        return Result::failure("it is no file's path, and a server's URI starts with postgresql:// or postgres://");
    if (name.isEmpty())
        return Result::failure("no database is named");
    return {};
}

QString DescribeDatabase(const QString& database)
{
    if (!IsServerDatabase(database))
        return LooksLikeUri(database) ? QStringLiteral("named as a URI") : QDir::toNativeSeparators(database);
    ServerAddress address;
    if (!ParseServerAddress(database, address))
        return QStringLiteral("named as a server");
    QString text = QStringLiteral("the server ");
    text += address.host.isEmpty() && !address.service.isEmpty() ? QStringLiteral("of service ") + address.service
            : address.host.isEmpty()                             ? QStringLiteral("localhost")
                                                                 : address.host;
    if (address.port > 0)
        text += QLatin1Char(':') + QString::number(address.port);
    if (!address.databaseName.isEmpty())
        text += QStringLiteral(", database ") + address.databaseName;
    if (!address.user.isEmpty())
        text += QStringLiteral(", user ") + address.user;
    return text;
}

} // namespace quorvale

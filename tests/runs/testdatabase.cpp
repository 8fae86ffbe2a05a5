#include "testdatabase.h"

#include "runschema.h"
#include "runsdatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <csignal>

namespace quorvale::test {

std::string BackendName(const ::testing::TestParamInfo<Backend>& info)
{
    return info.param == Backend::SQLite ? "SQLite" : "PostgreSQL";
}

PostgresServer& Server()
{
    static PostgresServer server;
    return server;
}

RunsDatabase::RunsDatabase(Backend backend)
{
    if (backend == Backend::SQLite) {
        m_name = QString::fromStdString(m_folder.path() + "/runs.sqlite");
    } else if (Server().running()) {
        m_name = QString::fromStdString(Server().createDatabase());
    } else {
        ADD_FAILURE() << Server().why();
    }
}

std::unique_ptr<RunStore> RunsDatabase::open() const
{
    QString why;
    auto store = RunStore::open(m_name, why);
    EXPECT_TRUE(store) << why.toStdString();
    return store;
}

template <class Use> void RunsDatabase::withConnection(Use use) const
{
    {
        QSqlDatabase db;
        if (IsServerDatabase(m_name)) {
            ServerAddress address;
            const Result parsed = ParseServerAddress(m_name, address);
            EXPECT_TRUE(parsed) << parsed.reason;
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("test-rows"));
            db.setHostName(address.host);
            db.setDatabaseName(address.databaseName);
            db.setUserName(address.user);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("test-rows"));
            db.setDatabaseName(m_name);
        }
        EXPECT_TRUE(db.open());
        use(db);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("test-rows"));
}

std::vector<QVariantList> RunsDatabase::rows(const QString& sql) const
{
    std::vector<QVariantList> rows;
    withConnection([&](QSqlDatabase& db) {
        QSqlQuery query(db);
        // The runs live in a schema of their own on a server.
        if (IsServerDatabase(m_name)) {
            EXPECT_TRUE(query.exec(QStringLiteral("SET search_path TO quorvale")));
        }
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < query.record().count(); ++i)
                row << query.value(i);
            rows.push_back(row);
        }
    });
    return rows;
}

void RunsDatabase::makeSchema(int version) const
{
    withConnection([&](QSqlDatabase& db) {
        const Result prepared = PrepareRunsSchema(db, IsServerDatabase(m_name), version);
        EXPECT_TRUE(prepared) << prepared.reason;
    });
}

std::function<void()> RunsDatabase::freeze() const
{
    if (IsServerDatabase(m_name)) {
        std::vector<pid_t> frozen;
        for (const QVariantList& row : rows(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE datname = "
                                                           "current_database() AND pid <> pg_backend_pid()")))
            frozen.push_back(pid_t(row.at(0).toInt()));
        EXPECT_FALSE(frozen.empty());
        for (const pid_t pid : frozen)
            kill(pid, SIGSTOP);
        return [frozen] {
            for (const pid_t pid : frozen)
                kill(pid, SIGCONT);
        };
    }
    auto holder = std::make_shared<QSqlDatabase>(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "lock"));
    holder->setDatabaseName(m_name);
    EXPECT_TRUE(holder->open() && QSqlQuery(*holder).exec(QStringLiteral("BEGIN IMMEDIATE")));
    return [holder] {
        QSqlQuery(*holder).exec(QStringLiteral("ROLLBACK"));
        holder->close();
        *holder = {};
        QSqlDatabase::removeDatabase("lock");
    };
}

} // namespace quorvale::test

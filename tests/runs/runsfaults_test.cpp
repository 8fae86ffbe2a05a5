// Databases that cannot be used: each refused with a message that names it and says why, and left
// exactly as it was.
#include "testdatabase.h"
#include "testfiles.h"

#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>

#include <filesystem>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// Refused, with a message holding each of the parts.
void expectRefused(const QString& database, std::initializer_list<const char*> parts)
{
    QString why;
    EXPECT_FALSE(RunStore::open(database, why)) << database.toStdString();
    for (const char* part : parts)
        EXPECT_TRUE(why.contains(QString::fromUtf8(part))) << why.toStdString() << " lacks " << part;
}

TEST(RunsFaults, AFileThatIsNoDatabaseIsLeftAlone)
{
    TempDir folder;
    const std::string path = folder.path() + "/runs.sqlite";
    const std::string text(10000, 'x');
    writeFile(path, text);
    expectRefused(QString::fromStdString(path), {path.c_str(), "file is not a database"});
    EXPECT_EQ(readFile(path), text);
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"runs.sqlite"});
}

TEST(RunsFaults, ANewerOrAnotherProgramsSchemaIsLeftAlone)
{
    RunsDatabase database(Backend::SQLite);
    ASSERT_TRUE(database.open());
    database.rows(QStringLiteral("UPDATE quorvale_schema SET version = 4"));
    const std::string before = readFile(database.name().toStdString());
    expectRefused(database.name(), {"was made by a newer Quorvale (schema version 4; this one knows 3)"});
    EXPECT_EQ(readFile(database.name().toStdString()), before);

    TempDir folder;
    const QString other = QString::fromStdString(folder.path() + "/other.sqlite");
    // Made through the test's own connection: a table of someone else's.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
    db.setDatabaseName(other);
    ASSERT_TRUE(db.open());
    QSqlQuery(db).exec(QStringLiteral("CREATE TABLE parts (name TEXT)"));
    db.close();
    db = {};
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    const std::string otherBefore = readFile(other.toStdString());
    expectRefused(other, {"other tables than Quorvale's runs"});
    EXPECT_EQ(readFile(other.toStdString()), otherBefore);
}

TEST(RunsFaults, AFileMarkedOrHoldingAnythingNotQuorvalesIsLeftAlone)
{
    TempDir folder;
    const std::pair<const char*, const char*> cases[] = {
        {"CREATE VIEW parts AS SELECT 1 AS name", "other tables than Quorvale's runs"},
        {"PRAGMA application_id = 1234", "marked as another program's (application id 1234)"},
        {"PRAGMA user_version = 7", "marked as another program's (user version 7)"},
        {"CREATE TABLE quorvale_schema (version INTEGER NOT NULL)", "its table quorvale_schema holds no version"},
    };
    int made = 0;
    for (const auto& [sql, reason] : cases) {
        const QString file = QString::fromStdString(folder.path() + "/" + std::to_string(++made) + ".sqlite");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            db.setDatabaseName(file);
            ASSERT_TRUE(db.open());
            ASSERT_TRUE(QSqlQuery(db).exec(QString::fromLatin1(sql))) << sql;
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        const std::string before = readFile(file.toStdString());
        expectRefused(file, {reason});
        EXPECT_EQ(readFile(file.toStdString()), before) << sql;
    }
}

TEST(RunsFaults, OnAServerTheRunsLiveInASchemaOfTheirOwnAndAnEarlierOnesMoveThere)
{
    RunsDatabase database(Backend::PostgreSQL);
    // Another program's table named as Quorvale's in the public schema stays as it was.
    database.rows(QStringLiteral("CREATE TABLE public.runs (secret TEXT)"));
    database.rows(QStringLiteral("INSERT INTO public.runs VALUES ('theirs')"));
    RunId id = 0;
    {
        const auto store = database.open();
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->createRun(DefaultRunChartRecord(), Moment::now(), id));
    }
    EXPECT_EQ(database.rows(QStringLiteral("SELECT secret FROM public.runs")),
              (std::vector<QVariantList>{{QStringLiteral("theirs")}}));
    EXPECT_EQ(database.rows(QStringLiteral("SELECT COUNT(*) FROM quorvale.runs")).at(0).at(0).toInt(), 1);

    // Tables an earlier Quorvale made in the public schema are moved, runs and all.
    database.rows(QStringLiteral("DROP TABLE public.runs"));
    for (const char* table : {"quorvale_schema", "runs", "readings", "reading_changes", "run_changes"})
        database.rows(QStringLiteral("ALTER TABLE quorvale.%1 SET SCHEMA public").arg(QLatin1String(table)));
    database.rows(QStringLiteral("DROP SCHEMA quorvale"));
    const auto store = database.open();
    ASSERT_TRUE(store);
    StoredRun run;
    EXPECT_TRUE(store->loadRun(id, run));
    EXPECT_EQ(
        database.rows(QStringLiteral("SELECT COUNT(*) FROM pg_tables WHERE schemaname = 'public'")).at(0).at(0).toInt(),
        0);
}

TEST(RunsFaults, AnUnusablePlaceIsNamed)
{
    TempDir folder;
    writeFile(folder.path() + "/file", "x");
    const std::string throughFile = folder.path() + "/file/runs.sqlite";
    expectRefused(QString::fromStdString(throughFile), {throughFile.c_str()});
    expectRefused(QString::fromStdString(folder.path()), {"it is a folder"});

    // No folder is made on the way to a file: the user's own folder is made where it is chosen.
    const std::string fresh = folder.path() + "/share/quorvale/runs.sqlite";
    expectRefused(QString::fromStdString(fresh), {"the folder", "/share/quorvale does not exist"});
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/share"));
}

TEST(RunsFaults, ARefusedLoginNamesTheServerButNotThePassword)
{
    ASSERT_TRUE(Server().running()) << Server().why();
    QString uri = QString::fromStdString(Server().uri("postgres", "intruder"));
    uri.replace(QStringLiteral("intruder@"), QStringLiteral("intruder:s3cret@"));
    QString why;
    EXPECT_FALSE(RunStore::open(uri, why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("The runs database the server /tmp/quorvale-pg-"))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("user intruder"))) << why.toStdString();
    EXPECT_TRUE(why.contains(QStringLiteral("role \"intruder\" does not exist"))) << why.toStdString();
    EXPECT_FALSE(why.contains(QStringLiteral("s3cret"))) << why.toStdString();
}

} // namespace

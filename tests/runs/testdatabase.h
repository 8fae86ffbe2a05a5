// The runs database of one test on either backend: a SQLite file in a temporary folder, or a fresh
// database on the PostgreSQL server the test program starts once.
#pragma once

#include "postgresserver.h"
#include "runstore.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

namespace quorvale::test {

enum class Backend { SQLite, PostgreSQL };

std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

PostgresServer& Server();

class RunsDatabase {
public:
    explicit RunsDatabase(Backend backend);
    const QString& name() const { return m_name; }
    // A store on it; fails the test when it cannot be opened.
    std::unique_ptr<RunStore> open() const;
    // The rows of a query the store does not offer, each row's columns in one list.
    std::vector<QVariantList> rows(const QString& sql) const;
    // Makes the tables as an older Quorvale made them, before any store opens the database.
    void makeSchema(int version) const;
    // Freezes the store: on a server, the backends that serve it now are stopped; on SQLite, another
    // connection holds the write lock. The function returned thaws it.
    std::function<void()> freeze() const;

private:
    template <class Use> void withConnection(Use use) const;

    TempDir m_folder;
    QString m_name;
};

} // namespace quorvale::test

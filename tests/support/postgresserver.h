// A PostgreSQL server of its own for one test program: initdb into a fresh folder, listening only
// on a Unix socket in that folder, stopped and removed at the end. Run as root (as in CI), the
// server runs as the unprivileged user nobody, since PostgreSQL refuses root.
#pragma once

#include <string>

namespace quorvale::test {

class PostgresServer final {
public:
    // A test's server does not flush to disk (nothing is lost when only its clients die); a bench's does.
    explicit PostgresServer(bool flushes = false);
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // Whether it runs; why not, when it does not.
    bool running() const { return m_running; }
    const std::string& why() const { return m_why; }
    // Stops the server (its clients lose their connections) or starts it again; true when done.
    bool stop();
    bool start();
    // The folder of its Unix socket.
    const std::string& folder() const { return m_folder; }

    // A new empty database on the server, named or numbered; its connection URI.
    std::string createDatabase(std::string name = {});
    // The URI of a database on the server, as the given user (the server's own, quorvale, by default).
    std::string uri(const std::string& database, const std::string& user = "quorvale") const;

private:
    // Runs one of the server's programs, as nobody when the test runs as root; true when it exits 0.
    bool runTool(const std::string& arguments) const;

    std::string m_bin;
    std::string m_folder;
    std::string m_options;
    bool m_running = false;
    std::string m_why;
    int m_databases = 0;
};

} // namespace quorvale::test

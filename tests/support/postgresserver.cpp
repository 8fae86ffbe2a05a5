#include "postgresserver.h"

#include "testfiles.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace quorvale::test {

namespace fs = std::filesystem;

namespace {

// The newest of Debian's installed server versions.
std::string serverBinaries()
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& version : fs::directory_iterator("/usr/lib/postgresql", error)) {
        if (fs::exists(version.path() / "bin" / "initdb"))
            found.push_back((version.path() / "bin").string());
    }
    std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return found.empty() ? std::string() : found.back();
}

} // namespace

PostgresServer::PostgresServer(bool flushes)
{
    m_bin = serverBinaries();
    if (m_bin.empty()) {
        m_why = "PostgreSQL's server is not installed (scripts/setup.sh installs the package postgresql)";
        return;
    }
    // Under /tmp, not TMPDIR: the socket's path must stay short, and nobody must reach the folder.
    std::string pattern = "/tmp/quorvale-pg-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        m_why = "cannot make a folder for the server";
        return;
    }
    m_folder = pattern;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody || chown(m_folder.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            m_why = "cannot give the server's folder to the user nobody";
            return;
        }
    }
    m_options = "-c listen_addresses='' -k " + m_folder + (flushes ? "" : " -c fsync=off");
    if (!runTool("initdb --auth=trust --username=quorvale --no-instructions -D " + m_folder + "/data")) {
        m_why = "initdb failed: " + readFile(m_folder + "/tools.log");
        return;
    }
    start();
}

bool PostgresServer::start()
{
    if (!runTool("pg_ctl start --wait --silent -D " + m_folder + "/data -l " + m_folder + "/server.log -o \"" +
                 m_options + "\"")) {
        m_why = "the server did not start: " + readFile(m_folder + "/server.log");
        return false;
    }
    m_running = true;
    return true;
}

bool PostgresServer::stop()
{
    m_running = !runTool("pg_ctl stop --wait --silent --mode=fast -D " + m_folder + "/data");
    return !m_running;
}

PostgresServer::~PostgresServer()
{
    if (m_running)
        stop();
    if (!m_folder.empty()) {
        std::error_code error;
        fs::remove_all(m_folder, error);
    }
}

bool PostgresServer::runTool(const std::string& arguments) const
{
    const std::string user = geteuid() == 0 ? "runuser -u nobody -- " : "";
    // The server's programs change into the folder they work in; nobody may not enter the test's.
    return runCommand("cd / && " + user + m_bin + "/" + arguments + " >>" + m_folder + "/tools.log 2>&1") == 0;
}

std::string PostgresServer::createDatabase(std::string name)
{
    if (name.empty())
        name = "runs_" + std::to_string(++m_databases);
    if (!runTool("createdb -h " + m_folder + " -U quorvale " + name))
        ADD_FAILURE() << "cannot create the database " << name;
    return uri(name);
}

std::string PostgresServer::uri(const std::string& database, const std::string& user) const
{
    return "postgresql://" + user + "@/" + database + "?host=" + m_folder;
}

} // namespace quorvale::test

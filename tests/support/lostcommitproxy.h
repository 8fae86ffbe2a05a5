// A proxy of the test's own in front of a PostgreSQL server's Unix socket: it passes everything
// both ways, except that it loses the answer to the first COMMIT. The server has the COMMIT and
// commits; the client's connection is cut before the answer reaches it.
#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace quorvale::test {

class LostCommitProxy final {
public:
    // serverFolder: the folder of the server's socket.
    explicit LostCommitProxy(const std::string& serverFolder);
    ~LostCommitProxy();
    LostCommitProxy(const LostCommitProxy&) = delete;
    LostCommitProxy& operator=(const LostCommitProxy&) = delete;

    // The folder of the proxy's socket, for host= in a connection URI.
    const std::string& folder() const { return m_folder; }
    // Whether the answer to a COMMIT has been lost.
    bool lostAnswer() const { return m_lost; }

private:
    void run();

    std::string m_server;
    std::string m_folder;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    std::atomic<bool> m_lost = false;
    std::thread m_thread;
};

} // namespace quorvale::test

#include "lostcommitproxy.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace quorvale::test {

namespace {

constexpr const char* SocketName = "/.s.PGSQL.5432";

sockaddr_un addressOf(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

bool pass(int from, int to, std::string& passed)
{
    char buffer[65536];
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got <= 0)
        return false;
    passed.assign(buffer, std::size_t(got));
    for (std::size_t done = 0; done < passed.size();) {
        const ssize_t put = ::write(to, passed.data() + done, passed.size() - done);
        if (put <= 0)
            return false;
        done += std::size_t(put);
    }
    return true;
}

} // namespace

LostCommitProxy::LostCommitProxy(const std::string& serverFolder) : m_server(serverFolder + SocketName)
{
    std::string pattern = "/tmp/quorvale-proxy-XXXXXX";
    if (!mkdtemp(pattern.data()) || ::pipe(m_wake) != 0) {
        ADD_FAILURE() << "cannot make the proxy's folder";
        return;
    }
    m_folder = pattern;
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = addressOf(m_folder + SocketName);
    if (::bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 16) != 0) {
        ADD_FAILURE() << "the proxy cannot listen: " << std::strerror(errno);
        return;
    }
    m_thread = std::thread([this] { run(); });
}

LostCommitProxy::~LostCommitProxy()
{
    if (m_thread.joinable()) {
        (void)!::write(m_wake[1], "x", 1);
        m_thread.join();
    }
    for (const int file : {m_listener, m_wake[0], m_wake[1]})
        ::close(file);
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

void LostCommitProxy::run()
{
    struct Pair {
        int client;
        int server;
    };
    std::vector<Pair> pairs;
    for (;;) {
        std::vector<pollfd> watched = {{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const Pair& pair : pairs) {
            watched.push_back({pair.client, POLLIN, 0});
            watched.push_back({pair.server, POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), -1) < 0 || watched[0].revents)
            break;
        std::vector<Pair> open;
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            const Pair pair = pairs[i];
            std::string passed;
            bool alive = true;
            if (watched[2 + 2 * i].revents)
                alive = pass(pair.client, pair.server, passed);
            // The simple query protocol sends COMMIT as its text, ended by a zero byte.
            if (alive && !m_lost && passed.find(std::string_view("COMMIT\0", 7)) != std::string::npos) {
                pollfd answer{pair.server, POLLIN, 0};
                char buffer[4096];
                if (::poll(&answer, 1, 10000) == 1)
                    (void)!::read(pair.server, buffer, sizeof buffer);
                m_lost = true;
                alive = false;
            } else if (alive && watched[3 + 2 * i].revents) {
                alive = pass(pair.server, pair.client, passed);
            }
            if (alive) {
                open.push_back(pair);
            } else {
                ::close(pair.client);
                ::close(pair.server);
            }
        }
        if (watched[1].revents & POLLIN) {
            const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            const sockaddr_un address = addressOf(m_server);
            if (client >= 0 && ::connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
                open.push_back({client, server});
            } else {
                ::close(client);
                ::close(server);
            }
        }
        pairs = open;
    }
    for (const Pair& pair : pairs) {
        ::close(pair.client);
        ::close(pair.server);
    }
}

} // namespace quorvale::test

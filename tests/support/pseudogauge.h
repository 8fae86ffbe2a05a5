// A gauge without hardware: a pseudo-terminal pair whose terminal side is reached through a symbolic
// link, so that the test can take the device away and put a new one at the same name.
#pragma once

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace quorvale::test {

class PseudoGauge {
public:
    // The link is made at linkPath, replacing an older one.
    explicit PseudoGauge(QString linkPath) : m_link(std::move(linkPath)) { plugIn(); }
    ~PseudoGauge() { unplug(); }
    PseudoGauge(const PseudoGauge&) = delete;
    PseudoGauge& operator=(const PseudoGauge&) = delete;

    const QString& path() const { return m_link; }
    const std::string& devicePath() const { return m_device; }

    // A new device at the link's name.
    void plugIn()
    {
        int terminal = -1;
        char name[256] = {};
        ASSERT_EQ(::openpty(&m_controller, &terminal, name, nullptr, nullptr), 0) << std::strerror(errno);
        // The program opens the terminal side itself; keeping it open here too would hide the hang-up.
        ::close(terminal);
        m_device = name;
        const QByteArray link = m_link.toLocal8Bit();
        ::unlink(link.constData());
        ASSERT_EQ(::symlink(name, link.constData()), 0) << std::strerror(errno);
    }

    // The device goes away, and its name with it, as a USB adapter's does: the program's side reads
    // a hang-up. (Left in place, the name would reach the next pseudo-terminal given that number,
    // perhaps another test's.)
    void unplug()
    {
        if (m_controller >= 0)
            ::close(m_controller);
        m_controller = -1;
        ::unlink(m_link.toLocal8Bit().constData());
    }

    // Writes the bytes at the pace of a line at bytesPerSecond (9600 baud: 960 bytes a second).
    void send(const std::string& bytes, int bytesPerSecond = 0)
    {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t written = ::write(m_controller, bytes.data() + sent, bytes.size() - sent);
            if (written < 0 && errno == EINTR)
                continue;
            ASSERT_GT(written, 0) << std::strerror(errno);
            sent += static_cast<std::size_t>(written);
        }
        if (bytesPerSecond > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(1000000LL * bytes.size() / bytesPerSecond));
    }

    // What the program wrote to the gauge, waiting up to a second for the first byte.
    std::string received()
    {
        std::string bytes;
        char buffer[256];
        for (int waited = 0; waited < 100; ++waited) {
            ::fcntl(m_controller, F_SETFL, O_NONBLOCK);
            const ssize_t got = ::read(m_controller, buffer, sizeof buffer);
            if (got > 0)
                bytes.append(buffer, static_cast<std::size_t>(got));
            else if (!bytes.empty())
                break;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return bytes;
    }

private:
    QString m_link;
    std::string m_device;
    int m_controller = -1;
};

} // namespace quorvale::test

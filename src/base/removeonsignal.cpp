#include "removeonsignal.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <unistd.h>

namespace quorvale {

namespace {

// The files to remove, read by the signal handler: a few are ever pending at once.
std::array<std::atomic<const char*>, 4> g_files{};
static_assert(std::atomic<const char*>::is_always_lock_free, "read by a signal handler");
// Where the next signal is handed on; -1 for none. Taken by the handler, so it hands on one signal.
std::atomic<int> g_handOnTo{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read by a signal handler");
struct sigaction g_action {};

void removeFilesAndEnd(int signal)
{
    if (const int handOnTo = g_handOnTo.exchange(-1); handOnTo >= 0) {
        const int saved = errno;
        const unsigned char number = static_cast<unsigned char>(signal);
        const bool handedOn = ::write(handOnTo, &number, 1) == 1;
        // SA_RESETHAND took the handler away: the next one of this signal still removes the files.
        if (handedOn)
            ::sigaction(signal, &g_action, nullptr);
        errno = saved;
        if (handedOn)
            return;
    }
    for (const std::atomic<const char*>& file : g_files) {
        if (const char* path = file.load())
            ::unlink(path);
    }
    // SA_RESETHAND has put the default action back: the program ends as the signal meant it to.
    ::raise(signal);
}

} // namespace

void SetUpOutputSignals()
{
    std::signal(SIGXFSZ, SIG_IGN);
    g_action.sa_handler = removeFilesAndEnd;
    sigemptyset(&g_action.sa_mask);
    g_action.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (const int signal : RemovalSignals) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
            ::sigaction(signal, &g_action, nullptr);
    }
}

void HandRemovalSignalsTo(int descriptor)
{
    g_handOnTo = descriptor;
}

void StopHandingRemovalSignalsTo(int descriptor)
{
    g_handOnTo.compare_exchange_strong(descriptor, -1);
}

RemovalSignalsHeld::RemovalSignalsHeld()
{
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : RemovalSignals)
        sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &m_previous);
}

RemovalSignalsHeld::~RemovalSignalsHeld()
{
    pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
}

bool RemoveOnSignal::set(std::string path)
{
    clear();
    m_path = std::move(path);
    for (int slot = 0; slot < static_cast<int>(g_files.size()); ++slot) {
        const char* free = nullptr;
        if (g_files[static_cast<std::size_t>(slot)].compare_exchange_strong(free, m_path.c_str())) {
            m_slot = slot;
            return true;
        }
    }
    return false;
}

void RemoveOnSignal::clear() noexcept
{
    if (m_slot >= 0)
        g_files[static_cast<std::size_t>(m_slot)] = nullptr;
    m_slot = -1;
    m_path.clear();
}

} // namespace quorvale

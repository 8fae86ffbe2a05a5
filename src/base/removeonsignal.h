// Files that SIGINT, SIGTERM and SIGHUP remove before they end the program: a pending output's
// temporary, the data sheet. Both programs set the signals up once, first thing.
#pragma once

#include <csignal>
#include <string>

namespace quorvale {

// The signals that remove the files, then end the program as they would have.
inline constexpr int RemovalSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Sets up the removal signals, and ignores SIGXFSZ, so that a write past the file-size limit fails
// with a reason to report instead of ending the program halfway through a file. A signal ignored
// from the start (nohup, a background job) stays ignored.
void SetUpOutputSignals();

// While a descriptor is set, the first removal signal is written to it, as one byte, instead of
// ending the program at once: a program that keeps things in memory ends itself in order, then
// raises the signal again. A second signal, or one the descriptor does not take, ends it at once.
// Stopping clears only the descriptor named, so that a later owner's stays set.
void HandRemovalSignalsTo(int descriptor);
void StopHandingRemovalSignalsTo(int descriptor);

// Holds back the removal signals while a file's name is given or taken, so that the handler
// never removes a name that is not, or no longer, ours.
class RemovalSignalsHeld {
public:
    RemovalSignalsHeld();
    ~RemovalSignalsHeld();
    RemovalSignalsHeld(const RemovalSignalsHeld&) = delete;
    RemovalSignalsHeld& operator=(const RemovalSignalsHeld&) = delete;

private:
    sigset_t m_previous{};
};

// One file the signals remove while it is set. Set and clear it with the signals held.
class RemoveOnSignal {
public:
    RemoveOnSignal() = default;
    ~RemoveOnSignal() { clear(); }
    RemoveOnSignal(const RemoveOnSignal&) = delete;
    RemoveOnSignal& operator=(const RemoveOnSignal&) = delete;

    // False when every place for such a file is taken (more than a program ever has at once).
    bool set(std::string path);
    void clear() noexcept;

private:
    std::string m_path;
    int m_slot = -1;
};

} // namespace quorvale

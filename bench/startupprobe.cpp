// Times programs from process start to the map of their first window, on the X display in
// DISPLAY (a bare X server: without a window manager every top-level window maps at once).
//   quorvale-startup-probe RUNS NAME=PROGRAM...
// Runs the programs in turn, RUNS times each, and prints each one's median in milliseconds and its
// ratio to the first.
#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Program {
    std::string name;
    std::string path;
    std::vector<double> times;
};

// True when a window has mapped since the last call.
bool windowMapped(xcb_connection_t* connection)
{
    bool mapped = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        mapped = mapped || (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        std::free(event);
    }
    return mapped;
}

// Starts the program and returns the milliseconds until a window maps; -1 when it exits first.
double timeOne(xcb_connection_t* connection, const std::string& path)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        // The programs' own messages would break up the table.
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    double elapsed = -1;
    pollfd display{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (waitpid(child, nullptr, WNOHANG) == 0) {
        if (windowMapped(connection)) {
            elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
            break;
        }
        poll(&display, 1, /*timeout ms*/ 100);
    }
    // Let the closing window's events arrive, then drop them.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    windowMapped(connection);
    return elapsed;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: quorvale-startup-probe RUNS NAME=PROGRAM...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto equals = argument.find('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "quorvale-startup-probe: expected NAME=PROGRAM, got %s\n", argv[i]);
            return 2;
        }
        programs.push_back({argument.substr(0, equals), argument.substr(equals + 1), {}});
    }

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "quorvale-startup-probe: cannot connect to the X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    // Interleaved, so that a slower moment of the machine falls on every program alike.
    for (int run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            const double elapsed = timeOne(connection, program.path);
            if (elapsed < 0) {
                std::fprintf(stderr, "quorvale-startup-probe: %s showed no window\n", program.name.c_str());
                return 1;
            }
            program.times.push_back(elapsed);
        }
    }
    xcb_disconnect(connection);

    const double reference = median(programs.front().times);
    std::printf("| program | runs | median ms | ratio to %s |\n|---|---:|---:|---:|\n", programs.front().name.c_str());
    for (const Program& program : programs)
        std::printf("| %s | %d | %.1f | %.2f |\n", program.name.c_str(), runs, median(program.times),
                    median(program.times) / reference);
    return 0;
}

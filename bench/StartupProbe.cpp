// Starts a program several times and measures, for each start, the time from just before the
// fork to the mapping of its first top-level window of a given size, watched through the X
// server's map notices. Prints one line: the median and the largest time in milliseconds.
//
//   tolvane_bench_startup WIDTH HEIGHT RUNS PROGRAM [ARGS...]
#include <X11/Xlib.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

using std::chrono::steady_clock;

namespace {

bool hasSize(Display* display, Window window, int width, int height)
{
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) != 0 && attributes.width == width &&
           attributes.height == height;
}

// Waits up to ten seconds for a top-level window of the size to be mapped.
std::optional<steady_clock::time_point> waitForMap(Display* display, int width, int height)
{
    const auto deadline = steady_clock::now() + std::chrono::seconds(10);
    while (steady_clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && hasSize(display, event.xmap.window, width, height))
                return steady_clock::now();
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 100);
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT RUNS PROGRAM [ARGS...]\n", argv[0]);
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const int runs = std::atoi(argv[3]);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execvp(argv[4], argv + 4);
            _exit(127);
        }
        const auto mapped = waitForMap(display, width, height);
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        if (!mapped) {
            std::fprintf(stderr, "%s mapped no %dx%d window\n", argv[4], width, height);
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(*mapped - start).count());
        // Drains the notices of the window going away before the next start.
        XSync(display, True);
    }
    std::sort(times.begin(), times.end());
    std::printf("%.1f %.1f\n", times[times.size() / 2], times.back());
    return 0;
}

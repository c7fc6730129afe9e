// Launch-to-first-frame time of the program under X (not a test; needs DISPLAY): starts nadrel
// N times and polls every millisecond for its window and then for the header separator's
// colour, which only a presented frame has. Prints each time and the median.
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "gui/x11/x11_harness.h"
#include "linux/gui/view/view.h"

namespace {

using namespace nadrel::test;
using Clock = std::chrono::steady_clock;

// The header separator of the dark theme: only a presented frame has it.
constexpr std::uint32_t separator = nadrel::dark_theme.muted;

}  // namespace

int main(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || argc < 2) {
        std::fprintf(stderr, "usage: DISPLAY=:N x11_first_frame NADREL [RUNS] [ARGS...]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    XClient client(display);
    if (!client.connected()) {
        std::fprintf(stderr, "cannot connect to %s\n", display);
        return 2;
    }
    std::vector<std::string> args{argv[1]};
    for (int i = 3; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    std::vector<std::string> env{std::string("DISPLAY=") + display, "HOME=/tmp"};
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        Process program(args, env);
        const auto window = client.find_window("Nadrel", milliseconds(10000), microseconds(500));
        if (window) {
            client.wait_pixel(*window, 5, 47, separator, milliseconds(10000), microseconds(500));
        }
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        times.push_back(ms);
        std::printf("run %d: %.1f ms\n", run + 1, ms);
        program.signal(SIGTERM);
        program.wait(std::chrono::milliseconds(5000));
    }
    std::sort(times.begin(), times.end());
    std::printf("median %.1f ms, min %.1f ms, max %.1f ms\n", times[times.size() / 2],
                times.front(), times.back());
    return 0;
}

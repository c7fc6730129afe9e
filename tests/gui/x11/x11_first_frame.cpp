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

namespace {

using namespace nadrel::test;
using Clock = std::chrono::steady_clock;

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;

// A top-level window named Nadrel (no window manager: a child of the root).
xcb_window_t find_nadrel(xcb_connection_t* c, xcb_window_t root) {
    const Owned<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree) {
        return 0;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const Owned<xcb_get_property_reply_t> name(xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 8),
            nullptr));
        if (name && xcb_get_property_value_length(name.get()) == 6 &&
            std::memcmp(xcb_get_property_value(name.get()), "Nadrel", 6) == 0) {
            return children[i];
        }
    }
    return 0;
}

std::uint32_t pixel(xcb_connection_t* c, xcb_window_t w, int x, int y) {
    const Owned<xcb_get_image_reply_t> reply(xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w, static_cast<std::int16_t>(x),
                      static_cast<std::int16_t>(y), 1, 1, 0xFFFFFFFF),
        nullptr));
    std::uint32_t value = 0;
    if (reply && xcb_get_image_data_length(reply.get()) >= 4) {
        std::memcpy(&value, xcb_get_image_data(reply.get()), 4);
    }
    return value & 0xFFFFFF;
}

}  // namespace

int main(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || argc < 2) {
        std::fprintf(stderr, "usage: DISPLAY=:N x11_first_frame NADREL [RUNS] [ARGS...]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 10;
    xcb_connection_t* c = xcb_connect(display, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "cannot connect to %s\n", display);
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::vector<std::string> args{argv[1]};
    for (int i = 3; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    std::vector<std::string> env{std::string("DISPLAY=") + display, "HOME=/tmp"};
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        Process program(args, env);
        const auto deadline = start + std::chrono::seconds(10);
        xcb_window_t window = 0;
        while (window == 0 && Clock::now() < deadline) {
            window = find_nadrel(c, root);
            if (window == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
            }
        }
        while (window != 0 && pixel(c, window, 5, 47) != 0xA0A0A0 && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
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
    xcb_disconnect(c);
    return 0;
}

// A small Wayland compositor for tests: offers exactly the globals and versions a test asks for,
// records every request its client makes, and sends the events the test scripts. It implements
// no window management and no drawing; buffers can be read back through their memory files.
#pragma once

#include <wayland-server-core.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nadrel::testing {

struct GlobalSpec {
    std::string interface;  // "wl_compositor", "wp_cursor_shape_manager_v1", ...
    std::uint32_t version = 1;
};

class TestCompositor {
public:
    // Listens on a fresh socket in a temporary runtime folder.
    explicit TestCompositor(std::vector<GlobalSpec> globals);
    ~TestCompositor();
    TestCompositor(const TestCompositor&) = delete;
    TestCompositor& operator=(const TestCompositor&) = delete;

    // Starts the program under test with this compositor as its display and no X display.
    void launch(const std::string& binary, const std::vector<std::string>& args = {});
    // Serves clients until done() holds or the time is up; returns done().
    bool run_until(const std::function<bool()>& done,
                   std::chrono::milliseconds limit = std::chrono::seconds(10));
    void run_for(std::chrono::milliseconds span);
    // The program's exit status once it has ended (run_until(exited) first).
    bool exited();
    int exit_status() const { return status_; }
    std::string output(const char* name) const;  // "stdout" or "stderr"

    // Requests seen so far, one line each: "bind wl_seat 8", "wl_surface.attach wl_buffer 0 0".
    const std::vector<std::string>& requests() const { return requests_; }
    std::size_t count(std::string_view prefix) const;
    bool seen(std::string_view prefix) const { return count(prefix) > 0; }

    // The newest live resource of an interface, or null.
    wl_resource* latest(std::string_view interface) const;
    // Seat capabilities and output scale sent when those globals are bound.
    std::uint32_t seat_capabilities = 3;
    std::optional<std::int32_t> output_scale;

    // Scripted events.
    // xdg_toplevel.configure with these states, then xdg_surface.configure.
    void configure(std::int32_t width, std::int32_t height,
                   const std::vector<std::uint32_t>& states = {});
    void frame_done();
    void release(wl_resource* buffer);
    void key(std::uint32_t code, bool pressed);
    void pointer_enter(double x, double y);
    void pointer_motion(double x, double y);
    void pointer_leave();
    void surface_enter_output();
    // The 0x00RRGGBB pixel at (x, y) of the buffer last attached, if it can be read.
    std::optional<std::uint32_t> attached_pixel(std::int32_t x, std::int32_t y) const;
    std::optional<std::pair<std::int32_t, std::int32_t>> attached_size() const;
    wl_resource* attached_buffer() const { return attached_; }

    // Internal, for the protocol callbacks.
    void record(std::string line) { requests_.push_back(std::move(line)); }
    void track(wl_resource* resource);
    void forget(wl_resource* resource);
    void on_request(wl_resource* resource, const wl_message* message, wl_argument* args);
    void on_bind(wl_resource* resource);

private:
    struct BufferMemory {
        int fd = -1;  // the pool's memory file, owned by the pool entry
        std::int32_t offset = 0, width = 0, height = 0, stride = 0;
    };

    std::uint32_t next_serial() { return ++serial_; }

    wl_display* display_ = nullptr;
    std::string dir_;
    std::string socket_;
    pid_t pid_ = -1;
    int status_ = -1;
    std::uint32_t serial_ = 0;
    std::vector<std::string> requests_;
    std::vector<wl_resource*> live_;
    std::map<wl_resource*, int> pool_fds_;
    std::map<wl_resource*, BufferMemory> buffers_;
    wl_resource* attached_ = nullptr;
};

}  // namespace nadrel::testing

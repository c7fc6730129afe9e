// Everything the Wayland window owns for one run, and the owners of its protocol objects.
#pragma once

#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "cursor-shape-v1-client-protocol.h"
#include "linux/gui/view.h"
#include "linux/gui/wayland_input.h"
#include "xdg-decoration-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace nadrel {

// Forgets a protocol object on our side only; the compositor drops what belongs to a connection
// when it closes, so leaving needs no destroy requests.
struct ProxyForget {
    template <typename T>
    void operator()(T* proxy) const {
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(proxy));
    }
};
template <typename T>
using Proxy = std::unique_ptr<T, ProxyForget>;

struct DisplayClose {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

// A file descriptor closed with its owner.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();
    int get() const { return fd_; }

private:
    int fd_ = -1;
};

struct OutputInfo {
    Proxy<wl_output> output;
    std::int32_t scale = 1;
};

struct BufferSlot {
    Proxy<wl_buffer> buffer;
    UniqueFd fd;  // the memory file behind the buffer
    std::uint32_t serial = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool busy = false;  // attached and not yet released by the compositor
};

struct WaylandState {
    explicit WaylandState(ReportView v) : view(std::move(v)) {}

    ReportView view;
    // Declared before every object so that it is closed after them.
    std::unique_ptr<wl_display, DisplayClose> display;
    Proxy<wl_registry> registry;
    Proxy<wl_compositor> compositor;
    Proxy<wl_shm> shm;
    Proxy<xdg_wm_base> wm_base;
    Proxy<wl_seat> seat;
    Proxy<zxdg_decoration_manager_v1> decoration_manager;
    Proxy<wp_cursor_shape_manager_v1> cursor_shape_manager;
    std::vector<OutputInfo> outputs;

    Proxy<wl_surface> surface;
    Proxy<xdg_surface> shell_surface;
    Proxy<xdg_toplevel> toplevel;
    Proxy<zxdg_toplevel_decoration_v1> decoration;
    Proxy<wl_callback> frame_callback;
    std::vector<wl_output*> entered_outputs;
    std::vector<BufferSlot> buffers;

    Proxy<wl_pointer> pointer;
    Proxy<wl_keyboard> keyboard;
    Proxy<wp_cursor_shape_device_v1> cursor_shape_device;

    std::int32_t logical_width = default_view_width;
    std::int32_t logical_height = default_view_height;
    std::optional<std::pair<std::int32_t, std::int32_t>> pending_size;
    std::int32_t buffer_scale = 1;
    std::uint32_t next_buffer_serial = 0;
    bool shown = false;
    bool redraw = false;
    bool frame_pending = false;
    bool quit = false;
    bool tooltip_drawn = false;

    // Input.
    double pointer_x = 0;  // buffer pixels
    double pointer_y = 0;
    std::uint32_t enter_serial = 0;
    std::uint32_t cursor_shape = 0;  // last shape sent, 0 = none
    ScrollAccumulator scroll;
    KeyRepeat repeat;
};

// Window events: output scale, configure, close, decoration mode, frames and buffer release.
void add_window_listeners(WaylandState& state);
void add_output_listener(WaylandState& state, wl_output* output);
// Recomputes the buffer scale from the outputs the surface is on.
void update_scale(WaylandState& state);
// Draws a frame into a free buffer and commits it; skipped (redraw kept) when memory fails.
void present(WaylandState& state);

// Seat, keyboard and pointer.
void add_seat_listener(WaylandState& state);
// Fires key repeat when due.
void run_key_repeat(WaylandState& state, Instant now);

}  // namespace nadrel

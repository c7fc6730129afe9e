// Everything the Wayland window owns for one run, and the owners of its protocol objects.
#pragma once

#include <wayland-client.h>
#include <wayland-cursor.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cursor-shape-v1-client-protocol.h"
#include "fractional-scale-v1-client-protocol.h"
#include "linux/gui/view/view.h"
#include "linux/gui/wayland/input.h"
#include "linux/gui/wayland/wayland.h"
#include "linux/root/unique_fd.h"
#include "viewporter-client-protocol.h"
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

struct CursorThemeFree {
    void operator()(wl_cursor_theme* theme) const { wl_cursor_theme_destroy(theme); }
};

struct DisplayClose {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

struct XkbContextFree {
    void operator()(xkb_context* p) const { xkb_context_unref(p); }
};
struct XkbKeymapFree {
    void operator()(xkb_keymap* p) const { xkb_keymap_unref(p); }
};
struct XkbStateFree {
    void operator()(xkb_state* p) const { xkb_state_unref(p); }
};

// The compositor's keymap, compiled; keys are read by keysym once it has arrived.
struct Keymap {
    std::unique_ptr<xkb_context, XkbContextFree> context;
    std::unique_ptr<xkb_keymap, XkbKeymapFree> keymap;
    std::unique_ptr<xkb_state, XkbStateFree> state;
};

// The rest of a clipboard transfer, written whenever the reader's pipe has room.
struct PendingWrite {
    UniqueFd fd;
    std::shared_ptr<const std::string> text;
    std::size_t done = 0;
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
    Proxy<wp_fractional_scale_manager_v1> fractional_scale_manager;
    Proxy<wp_viewporter> viewporter;
    Proxy<wl_data_device_manager> data_device_manager;
    std::vector<OutputInfo> outputs;

    Proxy<wl_surface> surface;
    Proxy<xdg_surface> shell_surface;
    Proxy<xdg_toplevel> toplevel;
    Proxy<zxdg_toplevel_decoration_v1> decoration;
    Proxy<wp_fractional_scale_v1> fractional_scale;
    Proxy<wp_viewport> viewport;
    Proxy<wl_callback> frame_callback;
    std::vector<wl_output*> entered_outputs;
    bool entered_any = false;  // the surface has been on an output (after its first frame)
    std::vector<BufferSlot> buffers;

    Proxy<wl_pointer> pointer;
    Proxy<wl_keyboard> keyboard;
    Proxy<wp_cursor_shape_device_v1> cursor_shape_device;
    // Without cursor shapes: the user's cursor theme at the scale of the window (loaded when the
    // pointer first enters) and the surface that shows its image.
    PointerTheme pointer_theme;
    std::unique_ptr<wl_cursor_theme, CursorThemeFree> cursor_theme;
    std::int32_t cursor_theme_scale = 0;
    Proxy<wl_surface> cursor_surface;

    std::int32_t logical_width = default_view_width;
    std::int32_t logical_height = default_view_height;
    std::optional<std::pair<std::int32_t, std::int32_t>> pending_size;
    // The size came with a state in which the compositor decides it (maximized, fullscreen,
    // tiled): it is taken even below the minimum.
    bool pending_size_imposed = false;
    std::pair<std::int32_t, std::int32_t> min_logical_size{1, 1};  // as set_min_size asked
    std::int32_t buffer_scale = 1;      // wl_surface.set_buffer_scale, from the outputs
    std::uint32_t preferred_scale = 0;  // wp_fractional_scale_v1, in 120ths; 0 = none yet
    double pixel_scale = 1;             // buffer pixels per surface unit
    std::uint32_t next_buffer_serial = 0;
    bool shown = false;
    bool redraw = false;
    bool frame_pending = false;
    bool quit = false;

    // Input.
    double pointer_x = 0;  // buffer pixels
    double pointer_y = 0;
    std::uint32_t enter_serial = 0;
    std::uint32_t cursor_shape = 0;  // last shape sent, 0 = none
    std::uint32_t input_serial = 0;  // of the last key or button press, for set_selection
    KeyRepeat repeat;
    Keymap keymap;

    // Clipboard.
    Proxy<wl_data_device> data_device;
    Proxy<wl_data_offer> selection_offer;  // what the compositor announced last, unused
    Proxy<wl_data_source> data_source;
    std::shared_ptr<const std::string> clipboard;
    std::vector<PendingWrite> clipboard_writes;
};

// Window events: output scale, configure, close, decoration mode, frames and buffer release.
void add_window_listeners(WaylandState& state);
void add_output_listener(WaylandState& state, wl_output* output);
// Recomputes the scale: the compositor's preferred fractional scale when it sends one, else
// the largest integer scale of the outputs the surface is on.
void update_scale(WaylandState& state);
// Draws a frame into a free buffer and commits it; skipped (redraw kept) when memory fails.
void present(WaylandState& state);

// Seat, keyboard and pointer.
void add_seat_listener(WaylandState& state);
// The pointer's image for an edge from the user's cursor theme (for compositors without cursor
// shapes), set with the serial of the last enter; false when no image could be set.
bool set_cursor_image(WaylandState& state, ResizeEdge edge);
// Fires key repeat when due.
void run_key_repeat(WaylandState& state, Instant now);

// Clipboard: the data device of the seat, offering the view's text, and the writes to readers.
void set_up_data_device(WaylandState& state);
// Offers text as the selection; false when the compositor has no clipboard for us.
bool offer_clipboard(WaylandState& state, std::string text);
// Writes what the readers' pipes take now, without blocking; finished writes are closed.
void flush_clipboard_writes(WaylandState& state);

}  // namespace nadrel

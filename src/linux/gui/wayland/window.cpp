// The Wayland window's surface: configure and size, decoration mode, output scale, and frames
// drawn into shared-memory buffers paced by the compositor's frame callbacks.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "linux/gui/wayland/state.h"

namespace nadrel {

namespace {

WaylandState& state_of(void* data) {
    return *static_cast<WaylandState*>(data);
}

// Logical size times the scale, rounded, as the view's pixel size.
void apply_pixel_size(WaylandState& state) {
    const auto side = [&](std::int32_t logical) {
        const std::int64_t px = round_i32(static_cast<double>(logical) * state.pixel_scale);
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(px, 1, max_view_side));
    };
    const std::int32_t w = side(state.logical_width);
    const std::int32_t h = side(state.logical_height);
    if (w != state.view.width || h != state.view.height) {
        resize(state.view, w, h);
    }
}

void on_surface_configure(void* data, xdg_surface* surface, std::uint32_t serial) {
    auto& state = state_of(data);
    xdg_surface_ack_configure(surface, serial);
    if (state.pending_size) {
        // A size we may choose (floating, or while resizing from our own frame's edges) is
        // never below the minimum, whatever the compositor suggests.
        const auto [min_w, min_h] =
            state.pending_size_imposed ? std::pair{1, 1} : state.min_logical_size;
        state.logical_width = std::max(state.pending_size->first, min_w);
        state.logical_height = std::max(state.pending_size->second, min_h);
        state.pending_size.reset();
        apply_pixel_size(state);
    }
    state.shown = true;
    state.redraw = true;
}

const xdg_surface_listener surface_listener{on_surface_configure};

// Whether the states name one in which the compositor sets the size: maximized, fullscreen or
// tiled at an edge.
bool size_imposed(const wl_array* states) {
    if (states == nullptr) {
        return false;
    }
    const std::size_t count = states->size / sizeof(std::uint32_t);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t value = 0;
        std::memcpy(&value, static_cast<const char*>(states->data) + i * sizeof value,
                    sizeof value);
        switch (value) {
            case XDG_TOPLEVEL_STATE_MAXIMIZED:
            case XDG_TOPLEVEL_STATE_FULLSCREEN:
            case XDG_TOPLEVEL_STATE_TILED_LEFT:
            case XDG_TOPLEVEL_STATE_TILED_RIGHT:
            case XDG_TOPLEVEL_STATE_TILED_TOP:
            case XDG_TOPLEVEL_STATE_TILED_BOTTOM:
                return true;
            default:
                break;
        }
    }
    return false;
}

void on_toplevel_configure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                           wl_array* states) {
    // 0 x 0 leaves the size to us: keep the current one.
    if (width > 0 && height > 0) {
        auto& state = state_of(data);
        state.pending_size = std::pair{width, height};
        state.pending_size_imposed = size_imposed(states);
    }
}

void on_toplevel_close(void* data, xdg_toplevel*) {
    state_of(data).quit = true;
}

void on_toplevel_bounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}
void on_toplevel_capabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener toplevel_listener{on_toplevel_configure, on_toplevel_close,
                                              on_toplevel_bounds, on_toplevel_capabilities};

void on_decoration_configure(void* data, zxdg_toplevel_decoration_v1*, std::uint32_t mode) {
    auto& state = state_of(data);
    // Anything but server-side decorations, unknown modes included, means drawing our own Close.
    const bool own_close = mode != ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE;
    if (own_close != state.view.close_button) {
        state.view.close_button = own_close;
        state.redraw = true;
    }
}

const zxdg_toplevel_decoration_v1_listener decoration_listener{on_decoration_configure};

void on_enter(void* data, wl_surface*, wl_output* output) {
    auto& state = state_of(data);
    if (output != nullptr) {
        state.entered_outputs.push_back(output);
        state.entered_any = true;
    }
    update_scale(state);
}

void on_leave(void* data, wl_surface*, wl_output* output) {
    auto& state = state_of(data);
    std::erase(state.entered_outputs, output);
    update_scale(state);
}

const wl_surface_listener wl_surface_listener_{on_enter, on_leave};

void on_output_geometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                        std::int32_t, const char*, const char*, std::int32_t) {}
void on_output_mode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void on_output_done(void*, wl_output*) {}
void on_output_name(void*, wl_output*, const char*) {}
void on_output_description(void*, wl_output*, const char*) {}

void on_output_scale(void* data, wl_output* output, std::int32_t factor) {
    auto& state = state_of(data);
    for (OutputInfo& info : state.outputs) {
        if (info.output.get() == output) {
            info.scale = factor < 2 ? 1 : factor;
        }
    }
    update_scale(state);
}

const wl_output_listener output_listener{on_output_geometry, on_output_mode, on_output_done,
                                         on_output_scale,    on_output_name, on_output_description};

void on_frame_done(void* data, wl_callback*, std::uint32_t) {
    auto& state = state_of(data);
    state.frame_pending = false;
    state.frame_callback.reset();
}

const wl_callback_listener frame_listener{on_frame_done};

void on_buffer_release(void* data, wl_buffer* buffer) {
    for (BufferSlot& slot : state_of(data).buffers) {
        if (slot.buffer.get() == buffer) {
            slot.busy = false;
        }
    }
}

const wl_buffer_listener buffer_listener{on_buffer_release};

void on_preferred_scale(void* data, wp_fractional_scale_v1*, std::uint32_t scale) {
    auto& state = state_of(data);
    state.preferred_scale = scale;
    update_scale(state);
}

const wp_fractional_scale_v1_listener fractional_scale_listener{on_preferred_scale};

// A new buffer of width x height in a fresh memory file; nothing when the file cannot be made.
std::optional<BufferSlot> create_slot(WaylandState& state, std::int32_t width,
                                      std::int32_t height) {
    const std::int64_t size = std::int64_t{width} * 4 * height;
    UniqueFd fd(memfd_create("nadrel-frame", MFD_CLOEXEC));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    int rc = 0;
    do {
        rc = ftruncate(fd.get(), size);
    } while (rc < 0 && errno == EINTR);
    if (rc < 0) {
        return std::nullopt;
    }
    wl_shm_pool* pool =
        wl_shm_create_pool(state.shm.get(), fd.get(), static_cast<std::int32_t>(size));
    BufferSlot slot;
    slot.buffer.reset(
        wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888));
    wl_shm_pool_destroy(pool);
    wl_buffer_add_listener(slot.buffer.get(), &buffer_listener, &state);
    slot.fd = std::move(fd);
    slot.serial = state.next_buffer_serial++;
    slot.width = width;
    slot.height = height;
    return slot;
}

// Writes all of bytes at offset 0 of the file; false on any failure.
bool write_pixels(int fd, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = pwrite(fd, bytes + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// xrgb8888 is little-endian 0x00RRGGBB: blue, green, red, then the unused byte.
bool write_canvas(int fd, const Canvas& canvas) {
    const auto pixels = canvas.pixels();
    if constexpr (std::endian::native == std::endian::little) {
        return write_pixels(fd, reinterpret_cast<const std::uint8_t*>(pixels.data()),
                            pixels.size_bytes());
    } else {
        std::vector<std::uint8_t> bytes(pixels.size() * 4);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            for (std::size_t b = 0; b < 4; ++b) {
                bytes[i * 4 + b] = static_cast<std::uint8_t>(pixels[i] >> (8 * b));
            }
        }
        return write_pixels(fd, bytes.data(), bytes.size());
    }
}

}  // namespace

void add_window_listeners(WaylandState& state) {
    wl_surface_add_listener(state.surface.get(), &wl_surface_listener_, &state);
    xdg_surface_add_listener(state.shell_surface.get(), &surface_listener, &state);
    xdg_toplevel_add_listener(state.toplevel.get(), &toplevel_listener, &state);
    if (state.decoration) {
        zxdg_toplevel_decoration_v1_add_listener(state.decoration.get(), &decoration_listener,
                                                 &state);
    }
    if (state.fractional_scale) {
        wp_fractional_scale_v1_add_listener(state.fractional_scale.get(),
                                            &fractional_scale_listener, &state);
    }
}

void add_output_listener(WaylandState& state, wl_output* output) {
    wl_output_add_listener(output, &output_listener, &state);
}

void update_scale(WaylandState& state) {
    if (!state.surface) {
        return;
    }
    std::int32_t buffer_scale = 1;
    double pixel_scale = 1;
    if (state.preferred_scale > 0 && state.viewport) {
        // Fractional: a buffer of the scaled size, shown at the logical size by the viewport.
        pixel_scale = state.preferred_scale / 120.0;
    } else if (wl_surface_get_version(state.surface.get()) >= 3) {
        // Buffer scale exists from wl_surface version 3 on. Until the surface is on an output
        // (it enters one only once it shows a frame), the largest scale of any output: the
        // first frame is then drawn at the scale it will most likely get, not redrawn after.
        for (const OutputInfo& info : state.outputs) {
            if (!state.entered_any ||
                std::find(state.entered_outputs.begin(), state.entered_outputs.end(),
                          info.output.get()) != state.entered_outputs.end()) {
                buffer_scale = std::max(buffer_scale, info.scale);
            }
        }
        pixel_scale = buffer_scale;
    }
    if (buffer_scale != state.buffer_scale) {
        state.buffer_scale = buffer_scale;
        wl_surface_set_buffer_scale(state.surface.get(), buffer_scale);
    }
    if (pixel_scale == state.pixel_scale) {
        return;
    }
    state.pixel_scale = pixel_scale;
    state.cursor_shape = 0;  // the pointer's image too, at the next motion
    set_scale(state.view, static_cast<float>(pixel_scale));
    if (state.logical_width > 0 && state.logical_height > 0) {
        apply_pixel_size(state);
    }
    state.redraw = true;
}

void present(WaylandState& state) {
    const Canvas canvas = render(state.view);
    const std::int32_t w = canvas.width();
    const std::int32_t h = canvas.height();
    // Idle buffers of another size go; the ones the compositor holds wait for their release.
    std::erase_if(state.buffers, [&](BufferSlot& slot) {
        if (slot.busy || (slot.width == w && slot.height == h)) {
            return false;
        }
        wl_buffer_destroy(slot.buffer.release());
        return true;
    });
    auto slot = std::find_if(state.buffers.begin(), state.buffers.end(), [&](const BufferSlot& s) {
        return !s.busy && s.width == w && s.height == h;
    });
    if (slot == state.buffers.end()) {
        auto created = create_slot(state, w, h);
        if (!created) {
            return;  // no memory file: redraw stays set and the frame is tried again
        }
        state.buffers.push_back(std::move(*created));
        slot = std::prev(state.buffers.end());
    }
    if (!write_canvas(slot->fd.get(), canvas)) {
        return;
    }
    slot->busy = true;
    wl_surface* surface = state.surface.get();
    if (state.viewport) {
        // The destination follows the logical size; -1, -1 leaves a whole-scale buffer alone.
        const bool fractional = state.preferred_scale > 0;
        wp_viewport_set_destination(state.viewport.get(), fractional ? state.logical_width : -1,
                                    fractional ? state.logical_height : -1);
    }
    wl_surface_attach(surface, slot->buffer.get(), 0, 0);
    // damage_buffer (buffer pixels) exists from wl_surface version 4 on.
    if (wl_surface_get_version(surface) >= 4) {
        wl_surface_damage_buffer(surface, 0, 0, w, h);
    } else {
        wl_surface_damage(surface, 0, 0, w, h);
    }
    state.frame_callback.reset(wl_surface_frame(surface));
    wl_callback_add_listener(state.frame_callback.get(), &frame_listener, &state);
    wl_surface_commit(surface);
    state.redraw = false;
    state.frame_pending = true;
}

}  // namespace nadrel

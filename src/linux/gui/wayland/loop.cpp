// The Wayland window's run: connection, globals, window set-up and the event loop.
#include <poll.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "core/text/fmt.h"
#include "linux/gui/wayland/state.h"
#include "linux/gui/wayland/wayland.h"

namespace nadrel {

namespace {

// The library's account of why the connection broke; errno when it has none (a failed flush).
std::string display_error(wl_display* display, int fallback = errno) {
    const int code = wl_display_get_error(display);
    if (code == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        const std::uint32_t error = wl_display_get_protocol_error(display, &interface, &id);
        return strfmt("protocol error %u on %s@%u", error,
                      interface != nullptr ? interface->name : "unknown", id);
    }
    return std::strerror(code != 0 ? code : fallback);
}

template <typename T>
T* bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface,
        std::uint32_t version) {
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, version));
}

void on_ping(void*, xdg_wm_base* wm_base, std::uint32_t serial) {
    xdg_wm_base_pong(wm_base, serial);
}

const xdg_wm_base_listener wm_base_listener{on_ping};

void on_global(void* data, wl_registry* registry, std::uint32_t name, const char* interface_name,
               std::uint32_t version) {
    auto& state = *static_cast<WaylandState*>(data);
    const std::string_view interface(interface_name);
    if (interface == wl_compositor_interface.name) {
        state.compositor.reset(
            bind<wl_compositor>(registry, name, wl_compositor_interface, std::min(version, 4u)));
    } else if (interface == wl_shm_interface.name) {
        state.shm.reset(bind<wl_shm>(registry, name, wl_shm_interface, 1));
    } else if (interface == xdg_wm_base_interface.name) {
        state.wm_base.reset(bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(state.wm_base.get(), &wm_base_listener, &state);
    } else if (interface == wl_seat_interface.name) {
        if (!state.seat) {
            state.seat.reset(
                bind<wl_seat>(registry, name, wl_seat_interface, std::min(version, 8u)));
            add_seat_listener(state);
        }
    } else if (interface == wl_output_interface.name) {
        // Scale events exist from version 2 on.
        if (version >= 2) {
            auto* output =
                bind<wl_output>(registry, name, wl_output_interface, std::min(version, 4u));
            state.outputs.push_back(OutputInfo{Proxy<wl_output>(output), 1});
            add_output_listener(state, output);
        }
    } else if (interface == zxdg_decoration_manager_v1_interface.name) {
        state.decoration_manager.reset(bind<zxdg_decoration_manager_v1>(
            registry, name, zxdg_decoration_manager_v1_interface, 1));
    } else if (interface == wp_cursor_shape_manager_v1_interface.name) {
        state.cursor_shape_manager.reset(bind<wp_cursor_shape_manager_v1>(
            registry, name, wp_cursor_shape_manager_v1_interface, 1));
    } else if (interface == wp_fractional_scale_manager_v1_interface.name) {
        state.fractional_scale_manager.reset(bind<wp_fractional_scale_manager_v1>(
            registry, name, wp_fractional_scale_manager_v1_interface, 1));
    } else if (interface == wp_viewporter_interface.name) {
        state.viewporter.reset(bind<wp_viewporter>(registry, name, wp_viewporter_interface, 1));
    } else if (interface == wl_data_device_manager_interface.name) {
        state.data_device_manager.reset(bind<wl_data_device_manager>(
            registry, name, wl_data_device_manager_interface, std::min(version, 3u)));
    }
}

void on_global_remove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener registry_listener{on_global, on_global_remove};

void set_up_window(WaylandState& state) {
    state.surface.reset(wl_compositor_create_surface(state.compositor.get()));
    state.shell_surface.reset(
        xdg_wm_base_get_xdg_surface(state.wm_base.get(), state.surface.get()));
    state.toplevel.reset(xdg_surface_get_toplevel(state.shell_surface.get()));
    xdg_toplevel_set_title(state.toplevel.get(), "Nadrel");
    xdg_toplevel_set_app_id(state.toplevel.get(), "nadrel");
    // Room for the Close button the view draws when the compositor does not decorate.
    const auto [min_w, min_h] = min_size(state.view);
    const std::int64_t w =
        std::int64_t{min_w} + state.view.metrics.button_width + state.view.metrics.button_gap;
    state.min_logical_size = {static_cast<std::int32_t>(std::min<std::int64_t>(
                                  w, std::numeric_limits<std::int32_t>::max())),
                              min_h};
    xdg_toplevel_set_min_size(state.toplevel.get(), state.min_logical_size.first,
                              state.min_logical_size.second);
    if (state.decoration_manager) {
        state.decoration.reset(zxdg_decoration_manager_v1_get_toplevel_decoration(
            state.decoration_manager.get(), state.toplevel.get()));
        zxdg_toplevel_decoration_v1_set_mode(state.decoration.get(),
                                             ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
    } else {
        state.view.close_button = true;
    }
    // Fractional scales need both: the preferred scale, and a viewport to show the buffer at the
    // logical size.
    if (state.fractional_scale_manager && state.viewporter) {
        state.fractional_scale.reset(wp_fractional_scale_manager_v1_get_fractional_scale(
            state.fractional_scale_manager.get(), state.surface.get()));
        state.viewport.reset(
            wp_viewporter_get_viewport(state.viewporter.get(), state.surface.get()));
    }
    add_window_listeners(state);
    wl_surface_commit(state.surface.get());
}

WaylandOutcome fail(WaylandState& state, std::string message) {
    if (state.shown) {
        return {WaylandOutcome::Kind::Failed, std::move(message), std::nullopt};
    }
    return {WaylandOutcome::Kind::Unavailable, std::move(message), std::move(state.view)};
}

WaylandOutcome event_loop(WaylandState& state) {
    wl_display* display = state.display.get();
    const int fd = wl_display_get_fd(display);
    while (!state.quit) {
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            // A compositor that went away shows first as a failed write: that is a lost
            // connection, like the failed read that would otherwise follow.
            const int code = errno;
            const bool gone = code == EPIPE || code == ECONNRESET;
            return fail(state,
                        std::string(gone ? "Wayland connection lost: " : "Wayland flush error: ") +
                            display_error(display, code));
        }
        // Events already queued are dispatched before sleeping.
        if (wl_display_prepare_read(display) == 0) {
            // Besides the display, the pipes of clipboard readers waiting for more text.
            std::vector<pollfd> fds{{fd, POLLIN, 0}};
            for (const PendingWrite& write : state.clipboard_writes) {
                fds.push_back({write.fd.get(), POLLOUT, 0});
            }
            const int ready = poll(fds.data(), fds.size(),
                                   poll_timeout(state.view, repeat_deadline(state.repeat)));
            if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
                if (wl_display_read_events(display) < 0) {
                    return fail(state, "Wayland connection lost: " + display_error(display));
                }
            } else {
                wl_display_cancel_read(display);
            }
        }
        if (wl_display_dispatch_pending(display) < 0) {
            return fail(state, "Wayland connection lost: " + display_error(display));
        }
        flush_clipboard_writes(state);
        if (on_timer(state.view)) {
            state.redraw = true;
        }
        run_key_repeat(state, state.view.clock());
        if (state.shown && state.redraw && !state.quit && !state.frame_pending) {
            present(state);
        }
    }
    return {WaylandOutcome::Kind::Finished, {}, std::nullopt};
}

// libwayland's own messages, as one "nadrel: " line each like every other message of ours.
void log_line(const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    std::string line = "nadrel: " + std::string(text);
    if (!line.ends_with('\n')) {
        line += '\n';
    }
    std::fputs(line.c_str(), stderr);
}

}  // namespace

WaylandOutcome run_wayland(ReportView view, PointerTheme pointer_theme) {
    wl_log_set_handler_client(log_line);
    WaylandState state(std::move(view));
    state.pointer_theme = std::move(pointer_theme);
    errno = 0;
    state.display.reset(wl_display_connect(nullptr));
    if (!state.display) {
        return {WaylandOutcome::Kind::Unavailable,
                "cannot connect to Wayland display: " + std::string(std::strerror(errno)),
                std::move(state.view)};
    }
    state.registry.reset(wl_display_get_registry(state.display.get()));
    wl_registry_add_listener(state.registry.get(), &registry_listener, &state);
    if (wl_display_roundtrip(state.display.get()) < 0) {
        return fail(state, "Wayland registry error: " + display_error(state.display.get()));
    }
    if (!state.compositor || !state.wm_base) {
        return fail(state, "compositor lacks wl_compositor/xdg_wm_base");
    }
    if (!state.shm) {
        return fail(state, "compositor lacks wl_shm");
    }
    set_up_window(state);
    set_up_data_device(state);
    return event_loop(state);
}

}  // namespace nadrel

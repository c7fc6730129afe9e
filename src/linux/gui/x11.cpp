// The X11 event loop: events into view operations, sleeping in poll() until the view's timers.
#include "linux/gui/x11.h"

#include <poll.h>

#include "linux/gui/x11_window.h"

namespace nadrel {
namespace {

// Core protocol event codes (the synthetic-event bit masked off).
constexpr std::uint8_t key_press = 2;
constexpr std::uint8_t button_press = 4;
constexpr std::uint8_t button_release = 5;
constexpr std::uint8_t motion_notify = 6;
constexpr std::uint8_t leave_notify = 8;
constexpr std::uint8_t expose = 12;
constexpr std::uint8_t configure_notify = 22;
constexpr std::uint8_t client_message = 33;

enum class Step { Continue, Present, Quit };

Step from_response(ViewResponse response) {
    switch (response) {
        case ViewResponse::Nothing:
            return Step::Continue;
        case ViewResponse::Redraw:
            return Step::Present;
        case ViewResponse::Quit:
            return Step::Quit;
    }
    return Step::Continue;
}

Step on_button_press(ReportView& view, const xcb_button_press_event_t& e) {
    switch (e.detail) {
        case 1:
            return from_response(on_press(view, e.event_x, e.event_y));
        case 4:
            on_wheel(view, -1);
            return Step::Present;
        case 5:
            on_wheel(view, 1);
            return Step::Present;
        default:
            // Any other button only closes the About card.
            if (view.info_open) {
                view.info_open = false;
                return Step::Present;
            }
            return Step::Continue;
    }
}

Step handle_event(const X11Window& window, ReportView& view, const xcb_generic_event_t& event) {
    // Window managers and test tools send synthetic events: bit 7 marks them.
    switch (event.response_type & 0x7F) {
        case key_press: {
            const auto& e = reinterpret_cast<const xcb_key_press_event_t&>(event);
            const std::optional<ViewKey> key = view_key_for(keysym_for(window.keys, e.detail));
            return key ? from_response(on_key(view, *key)) : Step::Continue;
        }
        case button_press:
            return on_button_press(view, reinterpret_cast<const xcb_button_press_event_t&>(event));
        case button_release:
            if (reinterpret_cast<const xcb_button_release_event_t&>(event).detail == 1) {
                on_release(view);
            }
            return Step::Continue;
        case motion_notify: {
            const auto& e = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
            return from_response(on_motion(view, e.event_x, e.event_y));
        }
        case leave_notify:
            return from_response(on_leave(view));
        case expose:
            return reinterpret_cast<const xcb_expose_event_t&>(event).count == 0 ? Step::Present
                                                                                 : Step::Continue;
        case configure_notify: {
            const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            const std::int32_t width = std::clamp<std::int32_t>(e.width, 1, max_view_side);
            const std::int32_t height = std::clamp<std::int32_t>(e.height, 1, max_view_side);
            if (width == view.width && height == view.height) {
                return Step::Continue;
            }
            resize(view, width, height);
            return Step::Present;
        }
        case client_message: {
            const auto& e = reinterpret_cast<const xcb_client_message_event_t&>(event);
            const bool close = e.format == 32 && e.type == window.wm_protocols &&
                               e.data.data32[0] == window.wm_delete_window;
            return close ? Step::Quit : Step::Continue;
        }
        default:
            return Step::Continue;
    }
}

std::string connection_lost(xcb_connection_t* c) {
    return "X11 connection error: " + connection_error_text(xcb_connection_has_error(c));
}

std::optional<std::string> event_loop(const X11Window& window, ReportView& view) {
    xcb_connection_t* c = window.conn.get();
    bool tooltip_drawn = false;
    for (;;) {
        XcbOwned<xcb_generic_event_t> event(xcb_poll_for_event(c));
        if (!event) {
            if (xcb_connection_has_error(c) != 0) {
                return connection_lost(c);
            }
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, poll_timeout_ms(next_wakeup(view), view.clock()));
            event.reset(xcb_poll_for_event(c));
            if (!event) {
                if (xcb_connection_has_error(c) != 0) {
                    return connection_lost(c);
                }
                // A quiet wake-up: the view's timers.
                if (live_tick(view)) {
                    present_frame(window, view);
                } else if (tooltip_due(view) != ButtonKind::NoButton && !tooltip_drawn) {
                    present_frame(window, view);
                    tooltip_drawn = true;
                }
                continue;
            }
        }
        const bool tooltip_was_due = tooltip_due(view) != ButtonKind::NoButton;
        switch (handle_event(window, view, *event)) {
            case Step::Continue:
                break;
            case Step::Present:
                present_frame(window, view);
                break;
            case Step::Quit:
                return std::nullopt;
        }
        tooltip_drawn = tooltip_drawn && tooltip_was_due;
    }
}

}  // namespace

std::optional<std::string> run_x11(ReportView& view, std::optional<std::string_view> gdk_scale) {
    X11Window window;
    if (auto error = open_x11_window(view, gdk_scale, window)) {
        return error;
    }
    present_frame(window, view);
    return event_loop(window, view);
}

}  // namespace nadrel

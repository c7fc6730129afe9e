// The X11 event loop: events into view operations, sleeping in poll() until the view's timers.
#include <poll.h>

#include "core/failure.h"
#include "linux/gui/x11/window.h"
#include "linux/gui/x11/x11.h"

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
constexpr std::uint8_t selection_clear = 29;
constexpr std::uint8_t selection_request = 30;
constexpr std::uint8_t client_message = 33;
constexpr std::uint8_t mapping_notify = 34;

enum class Step { Continue, Present, Copy, Quit };

Step from_response(ViewResponse response) {
    switch (response) {
        case ViewResponse::Nothing:
            return Step::Continue;
        case ViewResponse::Redraw:
            return Step::Present;
        case ViewResponse::Copy:
            return Step::Copy;
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
            return from_response(on_wheel(view, -1));
        case 5:
            return from_response(on_wheel(view, 1));
        default:
            return from_response(on_other_button(view));
    }
}

Step handle_event(X11Window& window, ReportView& view, const xcb_generic_event_t& event) {
    // Window managers and test tools send synthetic events: bit 7 marks them.
    switch (event.response_type & 0x7F) {
        case key_press: {
            const auto& e = reinterpret_cast<const xcb_key_press_event_t&>(event);
            window.user_time = e.time;
            const std::optional<ViewKey> key = view_key_for(keysym_for(window.keys, e.detail));
            return key ? from_response(on_key(view, *key)) : Step::Continue;
        }
        case button_press: {
            const auto& e = reinterpret_cast<const xcb_button_press_event_t&>(event);
            window.user_time = e.time;
            return on_button_press(view, e);
        }
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
        case mapping_notify:
            // Another layout, or a key remapped by a tool: keysyms are looked up afresh.
            reread_keyboard(window);
            return Step::Continue;
        case selection_request:
            answer_selection_request(window,
                                     reinterpret_cast<const xcb_selection_request_event_t&>(event));
            return Step::Continue;
        case selection_clear:
            window.clipboard.clear();
            return Step::Continue;
        default:
            return Step::Continue;
    }
}

std::string connection_lost(xcb_connection_t* c) {
    return "X11 connection error: " + connection_error_text(xcb_connection_has_error(c));
}

// Frames go out at most this often: a burst of events (motion during a drag) gives one frame,
// not one each, and the window follows the pointer at a display's pace.
constexpr std::chrono::milliseconds frame_interval{8};

Failure event_loop(X11Window& window, ReportView& view) {
    xcb_connection_t* c = window.conn.get();
    bool frame_wanted = false;
    Instant last_frame = view.clock();
    for (;;) {
        // Every event already here first; then at most one frame for all of them.
        while (XcbOwned<xcb_generic_event_t> event{xcb_poll_for_event(c)}) {
            switch (handle_event(window, view, *event)) {
                case Step::Continue:
                    break;
                case Step::Copy:
                    take_clipboard(window, clipboard_text(view));
                    frame_wanted = true;
                    break;
                case Step::Present:
                    frame_wanted = true;
                    break;
                case Step::Quit:
                    return std::nullopt;
            }
        }
        if (xcb_connection_has_error(c) != 0) {
            return connection_lost(c);
        }
        const Instant frame_due = last_frame + frame_interval;
        if (frame_wanted && view.clock() >= frame_due) {
            present_frame(window, view);
            last_frame = view.clock();
            frame_wanted = false;
            continue;  // events read while the frame went out are queued, not on the socket
        }
        pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
        const int ready = poll(
            &fd, 1, poll_timeout(view, frame_wanted ? std::optional(frame_due) : std::nullopt));
        // A quiet wake-up: the view's timers.
        if (ready == 0 && on_timer(view)) {
            frame_wanted = true;
        }
    }
}

}  // namespace

Failure run_x11(ReportView& view, std::optional<std::string_view> gdk_scale) {
    X11Window window;
    if (auto error = open_x11_window(view, gdk_scale, window)) {
        return error;
    }
    present_frame(window, view);
    return event_loop(window, view);
}

}  // namespace nadrel

// Wayland input: the seat's keyboard (by physical key code, with key repeat) and pointer
// (buttons, wheel and touchpad scrolling, cursor shapes, moving and resizing the window).
#include <unistd.h>

#include <limits>

#include "linux/gui/wayland_state.h"

namespace nadrel {

namespace {

constexpr std::uint32_t seat_pointer = WL_SEAT_CAPABILITY_POINTER;
constexpr std::uint32_t seat_keyboard = WL_SEAT_CAPABILITY_KEYBOARD;
constexpr std::uint32_t seat_known = seat_pointer | seat_keyboard | WL_SEAT_CAPABILITY_TOUCH;
constexpr std::uint32_t btn_left = 272;  // BTN_LEFT, linux/input-event-codes.h

WaylandState& state_of(void* data) {
    return *static_cast<WaylandState*>(data);
}

void apply(WaylandState& state, ViewResponse response) {
    switch (response) {
        case ViewResponse::Nothing:
            return;
        case ViewResponse::Redraw:
            state.redraw = true;
            return;
        case ViewResponse::Quit:
            state.quit = true;
            return;
    }
}

std::int32_t point_x(const WaylandState& state) {
    return pointer_pixel(state.pointer_x);
}
std::int32_t point_y(const WaylandState& state) {
    return pointer_pixel(state.pointer_y);
}

// Keyboard.

void on_keymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) {
    // Keys are taken by their physical code, so the keymap is never read.
    UniqueFd owned(fd);
}

void on_keyboard_enter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}

void on_keyboard_leave(void* data, wl_keyboard*, std::uint32_t, wl_surface*) {
    state_of(data).repeat.active = false;
}

void on_keyboard_key(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t code,
                     std::uint32_t key_state) {
    auto& state = state_of(data);
    if (key_state != WL_KEYBOARD_KEY_STATE_PRESSED) {
        repeat_release(state.repeat, code);
        return;
    }
    const auto key = key_for_code(code);
    if (key) {
        apply(state, on_key(state.view, *key));
    }
    repeat_press(state.repeat, code, key.has_value(), state.view.clock());
}

void on_modifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                  std::uint32_t) {}

void on_repeat_info(void* data, wl_keyboard*, std::int32_t rate, std::int32_t delay) {
    set_repeat_info(state_of(data).repeat, rate, delay);
}

const wl_keyboard_listener keyboard_listener{on_keymap,       on_keyboard_enter, on_keyboard_leave,
                                             on_keyboard_key, on_modifiers,      on_repeat_info};

// Pointer.

void update_cursor(WaylandState& state) {
    if (!state.cursor_shape_device) {
        return;
    }
    const std::uint32_t shape =
        cursor_shape_for_edge(resize_edge_at(state.view, point_x(state), point_y(state)));
    if (shape != state.cursor_shape) {
        wp_cursor_shape_device_v1_set_shape(state.cursor_shape_device.get(), state.enter_serial,
                                            shape);
        state.cursor_shape = shape;
    }
}

void pointer_moved(WaylandState& state, wl_fixed_t x, wl_fixed_t y) {
    state.pointer_x = wl_fixed_to_double(x) * state.buffer_scale;
    state.pointer_y = wl_fixed_to_double(y) * state.buffer_scale;
    update_cursor(state);
    if (on_motion(state.view, point_x(state), point_y(state)) != ViewResponse::Nothing) {
        state.redraw = true;
    }
}

void on_pointer_enter(void* data, wl_pointer*, std::uint32_t serial, wl_surface*, wl_fixed_t x,
                      wl_fixed_t y) {
    auto& state = state_of(data);
    state.enter_serial = serial;
    pointer_moved(state, x, y);
}

void on_pointer_leave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
    auto& state = state_of(data);
    // The compositor forgets our cursor when the pointer leaves; send it again on entering.
    state.cursor_shape = 0;
    state.view.dragging = false;
    if (state.view.hover != ButtonKind::NoButton) {
        state.view.hover = ButtonKind::NoButton;
        state.view.hover_since.reset();
        state.redraw = true;
    }
}

void on_pointer_motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    pointer_moved(state_of(data), x, y);
}

void on_button(void* data, wl_pointer*, std::uint32_t serial, std::uint32_t, std::uint32_t button,
               std::uint32_t button_state) {
    auto& state = state_of(data);
    const bool pressed = button_state == WL_POINTER_BUTTON_STATE_PRESSED;
    if (button != btn_left) {
        if (pressed && state.view.info_open) {
            state.view.info_open = false;
            state.redraw = true;
        }
        return;
    }
    if (!pressed) {
        on_release(state.view);
        return;
    }
    const std::int32_t x = point_x(state);
    const std::int32_t y = point_y(state);
    const bool can_ask = state.toplevel && state.seat;
    if (const std::int32_t edge = resize_edge_at(state.view, x, y); edge != no_edge) {
        if (can_ask) {
            xdg_toplevel_resize(state.toplevel.get(), state.seat.get(), serial,
                                toplevel_edge_for(edge));
        }
    } else if (title_drag_at(state.view, x, y)) {
        if (can_ask) {
            xdg_toplevel_move(state.toplevel.get(), state.seat.get(), serial);
        }
    } else {
        apply(state, on_press(state.view, x, y));
    }
}

void process_scroll(WaylandState& state) {
    const std::int32_t pixels = take_scroll(state.scroll, line_step(state.view));
    if (pixels == 0) {
        return;
    }
    if (state.view.info_open) {
        state.view.info_open = false;
    } else {
        const std::int64_t offset = std::int64_t{state.view.scroll_offset} + pixels;
        state.view.scroll_offset = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(offset, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max()));
    }
    state.redraw = true;
}

void on_axis(void* data, wl_pointer* pointer, std::uint32_t, std::uint32_t axis, wl_fixed_t value) {
    auto& state = state_of(data);
    if (axis != WL_POINTER_AXIS_VERTICAL_SCROLL) {
        return;
    }
    state.scroll.pixels += wl_fixed_to_double(value) * state.buffer_scale;
    // Before version 5 no frame event closes a group of axis events.
    if (wl_pointer_get_version(pointer) <= 4) {
        process_scroll(state);
    }
}

void on_frame(void* data, wl_pointer*) {
    process_scroll(state_of(data));
}

void on_axis_source(void*, wl_pointer*, std::uint32_t) {}
void on_axis_stop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}

void on_axis_discrete(void* data, wl_pointer* pointer, std::uint32_t axis, std::int32_t steps) {
    // From version 8 on, axis_value120 carries the same notches.
    if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL && wl_pointer_get_version(pointer) <= 7) {
        state_of(data).scroll.steps += 120.0 * steps;
    }
}

void on_axis_value120(void* data, wl_pointer*, std::uint32_t axis, std::int32_t value) {
    if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL) {
        state_of(data).scroll.steps += value;
    }
}

const wl_pointer_listener pointer_listener{
    on_pointer_enter, on_pointer_leave, on_pointer_motion, on_button,        on_axis,
    on_frame,         on_axis_source,   on_axis_stop,      on_axis_discrete, on_axis_value120};

// Seat.

void drop_pointer(WaylandState& state) {
    if (state.cursor_shape_device) {
        wp_cursor_shape_device_v1_destroy(state.cursor_shape_device.release());
    }
    if (state.pointer) {
        if (wl_pointer_get_version(state.pointer.get()) >= WL_POINTER_RELEASE_SINCE_VERSION) {
            wl_pointer_release(state.pointer.release());
        } else {
            state.pointer.reset();
        }
    }
    state.cursor_shape = 0;
}

void drop_keyboard(WaylandState& state) {
    if (state.keyboard) {
        if (wl_keyboard_get_version(state.keyboard.get()) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
            wl_keyboard_release(state.keyboard.release());
        } else {
            state.keyboard.reset();
        }
    }
    state.repeat.active = false;
}

void on_capabilities(void* data, wl_seat* seat, std::uint32_t caps) {
    auto& state = state_of(data);
    if ((caps & ~seat_known) != 0) {
        return;  // a capability we do not know: the whole event is not to be trusted
    }
    if ((caps & seat_pointer) == 0) {
        drop_pointer(state);
    } else if (!state.pointer) {
        state.pointer.reset(wl_seat_get_pointer(seat));
        wl_pointer_add_listener(state.pointer.get(), &pointer_listener, &state);
        if (state.cursor_shape_manager) {
            state.cursor_shape_device.reset(wp_cursor_shape_manager_v1_get_pointer(
                state.cursor_shape_manager.get(), state.pointer.get()));
        }
    }
    if ((caps & seat_keyboard) == 0) {
        drop_keyboard(state);
    } else if (!state.keyboard) {
        state.keyboard.reset(wl_seat_get_keyboard(seat));
        wl_keyboard_add_listener(state.keyboard.get(), &keyboard_listener, &state);
    }
}

void on_seat_name(void*, wl_seat*, const char*) {}

const wl_seat_listener seat_listener{on_capabilities, on_seat_name};

}  // namespace

void add_seat_listener(WaylandState& state) {
    wl_seat_add_listener(state.seat.get(), &seat_listener, &state);
}

void run_key_repeat(WaylandState& state, Instant now) {
    if (!repeat_fire(state.repeat, now)) {
        return;
    }
    if (const auto key = key_for_code(state.repeat.code)) {
        apply(state, on_key(state.view, *key));
    }
}

}  // namespace nadrel

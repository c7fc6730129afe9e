// Wayland input: the seat's keyboard (keysyms through the compositor's keymap, with key repeat)
// and pointer (buttons, wheel and touchpad scrolling, cursor shapes, moving and resizing the
// window).
#include <sys/mman.h>

#include <cstring>

#include "linux/gui/wayland/state.h"

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
        case ViewResponse::Copy:
            if (!offer_clipboard(state, clipboard_text(state.view))) {
                show_message(state.view, "Could not copy: the compositor offers no clipboard");
            }
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

// The view key of a Linux key code: its unshifted keysym in the active layout of the
// compositor's keymap (so the key labelled q quits on any layout), or the US position while
// no keymap has arrived.
std::optional<ViewKey> key_of(const WaylandState& state, std::uint32_t code) {
    const Keymap& k = state.keymap;
    if (!k.state) {
        return key_for_code(code);
    }
    const xkb_keycode_t keycode = code + 8;  // evdev codes are offset by 8 in XKB
    const xkb_layout_index_t layout = xkb_state_key_get_layout(k.state.get(), keycode);
    if (layout == XKB_LAYOUT_INVALID) {
        return std::nullopt;
    }
    const xkb_keysym_t* syms = nullptr;
    const int n = xkb_keymap_key_get_syms_by_level(k.keymap.get(), keycode, layout, 0, &syms);
    return n == 1 ? view_key_for(syms[0]) : std::nullopt;
}

bool key_repeats(const WaylandState& state, std::uint32_t code) {
    return !state.keymap.keymap || xkb_keymap_key_repeats(state.keymap.keymap.get(), code + 8) != 0;
}

void on_keymap(void* data, wl_keyboard*, std::uint32_t format, std::int32_t fd,
               std::uint32_t size) {
    auto& state = state_of(data);
    const UniqueFd owned(fd);
    Keymap& k = state.keymap;
    k.state.reset();
    k.keymap.reset();
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) {
        return;  // no keymap: keys by their US position
    }
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, owned.get(), 0);
    if (map == MAP_FAILED) {
        return;
    }
    if (!k.context) {
        k.context.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    }
    if (k.context) {
        const char* text = static_cast<const char*>(map);
        k.keymap.reset(xkb_keymap_new_from_buffer(k.context.get(), text, strnlen(text, size),
                                                  XKB_KEYMAP_FORMAT_TEXT_V1,
                                                  XKB_KEYMAP_COMPILE_NO_FLAGS));
    }
    munmap(map, size);
    if (k.keymap) {
        k.state.reset(xkb_state_new(k.keymap.get()));
    }
    if (!k.state) {
        k.keymap.reset();
    }
}

void on_keyboard_enter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}

void on_keyboard_leave(void* data, wl_keyboard*, std::uint32_t, wl_surface*) {
    state_of(data).repeat.active = false;
}

void on_keyboard_key(void* data, wl_keyboard*, std::uint32_t serial, std::uint32_t,
                     std::uint32_t code, std::uint32_t key_state) {
    auto& state = state_of(data);
    if (key_state != WL_KEYBOARD_KEY_STATE_PRESSED) {
        repeat_release(state.repeat, code);
        return;
    }
    state.input_serial = serial;
    const auto key = key_of(state, code);
    if (key) {
        apply(state, on_key(state.view, *key));
    }
    repeat_press(state.repeat, code, key.has_value() && key_repeats(state, code),
                 state.view.clock());
}

void on_modifiers(void* data, wl_keyboard*, std::uint32_t, std::uint32_t depressed,
                  std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
    auto& state = state_of(data);
    if (state.keymap.state) {
        xkb_state_update_mask(state.keymap.state.get(), depressed, latched, locked, 0, 0, group);
    }
}

void on_repeat_info(void* data, wl_keyboard*, std::int32_t rate, std::int32_t delay) {
    set_repeat_info(state_of(data).repeat, rate, delay);
}

const wl_keyboard_listener keyboard_listener{on_keymap,       on_keyboard_enter, on_keyboard_leave,
                                             on_keyboard_key, on_modifiers,      on_repeat_info};

// Pointer.

// The pointer's image: a cursor shape when the compositor has them, else an image from the
// user's cursor theme (without either, weston shows no pointer over the window at all).
void update_cursor(WaylandState& state) {
    const ResizeEdge edge = resize_edge_at(state.view, point_x(state), point_y(state));
    const std::uint32_t shape = cursor_shape_for_edge(edge);
    if (shape == state.cursor_shape) {
        return;
    }
    if (state.cursor_shape_device) {
        wp_cursor_shape_device_v1_set_shape(state.cursor_shape_device.get(), state.enter_serial,
                                            shape);
        state.cursor_shape = shape;
    } else if (set_cursor_image(state, edge)) {
        state.cursor_shape = shape;
    }
}

void pointer_moved(WaylandState& state, wl_fixed_t x, wl_fixed_t y) {
    state.pointer_x = wl_fixed_to_double(x) * state.pixel_scale;
    state.pointer_y = wl_fixed_to_double(y) * state.pixel_scale;
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
    // No release comes for a drag that leaves the window.
    on_release(state.view);
    apply(state, on_leave(state.view));
}

void on_pointer_motion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
    pointer_moved(state_of(data), x, y);
}

void on_button(void* data, wl_pointer*, std::uint32_t serial, std::uint32_t, std::uint32_t button,
               std::uint32_t button_state) {
    auto& state = state_of(data);
    const bool pressed = button_state == WL_POINTER_BUTTON_STATE_PRESSED;
    if (pressed) {
        state.input_serial = serial;
    }
    if (button != btn_left) {
        if (pressed) {
            apply(state, on_other_button(state.view));
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
    if (const ResizeEdge edge = resize_edge_at(state.view, x, y); edge != ResizeEdge::None) {
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
    apply(state, scroll_frame(state.view));
}

void on_axis(void* data, wl_pointer* pointer, std::uint32_t, std::uint32_t axis, wl_fixed_t value) {
    auto& state = state_of(data);
    if (axis != WL_POINTER_AXIS_VERTICAL_SCROLL) {
        return;
    }
    add_scroll_pixels(state.view, wl_fixed_to_double(value) * state.pixel_scale);
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
        add_scroll_steps(state_of(data).view, 120.0 * steps);
    }
}

void on_axis_value120(void* data, wl_pointer*, std::uint32_t axis, std::int32_t value) {
    if (axis == WL_POINTER_AXIS_VERTICAL_SCROLL) {
        add_scroll_steps(state_of(data).view, value);
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
    if (const auto key = key_of(state, state.repeat.code)) {
        apply(state, on_key(state.view, *key));
    }
}

}  // namespace nadrel

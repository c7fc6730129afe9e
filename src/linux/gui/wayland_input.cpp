// The Wayland input rules that need no connection: key table, key repeat, scrolling, hit tests.
#include "linux/gui/wayland_input.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace nadrel {

namespace {

struct KeyEntry {
    std::uint32_t code;
    ViewKey key;
};

// Linux input event codes (linux/input-event-codes.h): physical keys, whatever the layout.
constexpr std::array<KeyEntry, 15> key_table{{
    {1, ViewKey::Quit},        // KEY_ESC
    {16, ViewKey::Quit},       // KEY_Q
    {23, ViewKey::Info},       // KEY_I
    {38, ViewKey::Live},       // KEY_L
    {48, ViewKey::Theme},      // KEY_B
    {31, ViewKey::Save},       // KEY_S
    {32, ViewKey::Detail},     // KEY_D
    {28, ViewKey::Dismiss},    // KEY_ENTER
    {57, ViewKey::Dismiss},    // KEY_SPACE
    {103, ViewKey::LineUp},    // KEY_UP
    {108, ViewKey::LineDown},  // KEY_DOWN
    {104, ViewKey::PageUp},    // KEY_PAGEUP
    {109, ViewKey::PageDown},  // KEY_PAGEDOWN
    {102, ViewKey::Home},      // KEY_HOME
    {107, ViewKey::End},       // KEY_END
}};

// Indexed by resize_edge_at: wp_cursor_shape_device_v1 shapes and xdg_toplevel resize edges.
constexpr std::array<std::uint32_t, 9> edge_shapes{19, 22, 25, 18, 21, 20, 24, 23, 1};
constexpr std::array<std::uint32_t, 9> toplevel_edges{1, 2, 4, 8, 5, 9, 6, 10, 0};

constexpr std::int32_t edge_band = 7;  // pixels from the left/top edge; 6 from the right/bottom

bool on_header_button(const ReportView& view, std::int32_t x, std::int32_t y) {
    for (const Button& b : buttons(view, view.width)) {
        if (x >= b.x && y >= b.y && static_cast<std::int64_t>(x) < std::int64_t{b.x} + b.w &&
            static_cast<std::int64_t>(y) < std::int64_t{b.y} + b.h) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<ViewKey> key_for_code(std::uint32_t code) {
    for (const KeyEntry& entry : key_table) {
        if (entry.code == code) {
            return entry.key;
        }
    }
    return std::nullopt;
}

std::int32_t resize_edge_at(const ReportView& view, std::int32_t x, std::int32_t y) {
    if (!view.close_button || view.info_open || on_header_button(view, x, y)) {
        return no_edge;
    }
    const std::int64_t w = view.width;
    const std::int64_t h = view.height;
    const bool left = x < edge_band;
    const bool right = x >= w - (edge_band - 1);
    const bool top = y < edge_band;
    const bool bottom = y >= h - (edge_band - 1);
    if (!right) {
        if (top)
            return left ? 4 : 0;
        if (bottom)
            return left ? 6 : 1;
        return left ? 2 : no_edge;
    }
    if (top)
        return left ? 4 : 5;
    if (bottom)
        return left ? 6 : 7;
    // The scrollbar keeps its strip along the right edge below the header.
    const std::int32_t header = view.metrics.header_height;
    const bool scrollbar = h - header < view.content_height;
    if (y >= header && scrollbar && x >= w - view.metrics.scrollbar_width) {
        return no_edge;
    }
    return left ? 2 : 3;
}

bool title_drag_at(const ReportView& view, std::int32_t x, std::int32_t y) {
    return !view.info_open && !view.live && y < view.metrics.header_height &&
           !on_header_button(view, x, y);
}

std::uint32_t cursor_shape_for_edge(std::int32_t edge) {
    return edge >= 0 && edge < no_edge ? edge_shapes[static_cast<std::size_t>(edge)]
                                       : edge_shapes[no_edge];
}

std::uint32_t toplevel_edge_for(std::int32_t edge) {
    return edge >= 0 && edge < no_edge ? toplevel_edges[static_cast<std::size_t>(edge)] : 0;
}

void set_repeat_info(KeyRepeat& repeat, std::int32_t rate, std::int32_t delay) {
    repeat.rate = std::clamp(rate, 0, 100);
    repeat.delay = std::max(delay, 0);
}

std::chrono::milliseconds repeat_interval(std::int32_t rate) {
    if (rate <= 1) {
        return std::chrono::milliseconds(1000);
    }
    return std::chrono::milliseconds(std::max(1, 1000 / rate));
}

void repeat_press(KeyRepeat& repeat, std::uint32_t code, bool mapped, Instant now) {
    if (!mapped || repeat.rate <= 0) {
        repeat.active = false;
        return;
    }
    repeat.active = true;
    repeat.code = code;
    repeat.next = now + std::chrono::milliseconds(repeat.delay);
}

void repeat_release(KeyRepeat& repeat, std::uint32_t code) {
    if (repeat.active && repeat.code == code) {
        repeat.active = false;
    }
}

std::optional<Instant> repeat_deadline(const KeyRepeat& repeat) {
    if (repeat.active && repeat.rate >= 1) {
        return repeat.next;
    }
    return std::nullopt;
}

bool repeat_fire(KeyRepeat& repeat, Instant now) {
    if (!repeat.active || repeat.rate < 1 || now < repeat.next) {
        return false;
    }
    repeat.next = now + repeat_interval(repeat.rate);
    return true;
}

std::int32_t take_scroll(ScrollAccumulator& scroll, std::int32_t line_step) {
    if (scroll.steps != 0) {
        const std::int32_t pixels = round_i32(scroll.steps * line_step / 120.0);
        scroll.steps = 0;
        scroll.pixels = 0;
        return pixels;
    }
    const std::int32_t pixels = round_i32(scroll.pixels);
    scroll.pixels -= pixels;
    return pixels;
}

std::int32_t pointer_pixel(double buffer_coordinate) {
    return trunc_i32(buffer_coordinate);
}

}  // namespace nadrel

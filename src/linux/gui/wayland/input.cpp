// The Wayland input rules that need no connection: key table, key repeat, hit tests.
#include "linux/gui/wayland/input.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/text/unicode.h"

namespace nadrel {

namespace {

struct KeyEntry {
    std::uint32_t code;
    ViewKey key;
};

// Linux input event codes (linux/input-event-codes.h): physical keys, whatever the layout.
constexpr std::array<KeyEntry, 23> key_table{{
    {1, ViewKey::Quit},        // KEY_ESC
    {16, ViewKey::Quit},       // KEY_Q
    {23, ViewKey::Info},       // KEY_I
    {38, ViewKey::Live},       // KEY_L
    {48, ViewKey::Theme},      // KEY_B
    {31, ViewKey::Save},       // KEY_S
    {32, ViewKey::Detail},     // KEY_D
    {46, ViewKey::Copy},       // KEY_C
    {28, ViewKey::Dismiss},    // KEY_ENTER
    {57, ViewKey::Dismiss},    // KEY_SPACE
    {103, ViewKey::LineUp},    // KEY_UP
    {108, ViewKey::LineDown},  // KEY_DOWN
    {104, ViewKey::PageUp},    // KEY_PAGEUP
    {109, ViewKey::PageDown},  // KEY_PAGEDOWN
    {102, ViewKey::Home},      // KEY_HOME
    {107, ViewKey::End},       // KEY_END
    {96, ViewKey::Dismiss},    // KEY_KPENTER
    {72, ViewKey::LineUp},     // KEY_KP8
    {80, ViewKey::LineDown},   // KEY_KP2
    {73, ViewKey::PageUp},     // KEY_KP9
    {81, ViewKey::PageDown},   // KEY_KP3
    {71, ViewKey::Home},       // KEY_KP7
    {79, ViewKey::End},        // KEY_KP1
}};

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

ResizeEdge resize_edge_at(const ReportView& view, std::int32_t x, std::int32_t y) {
    if (!view.close_button || view.info_open || on_header_button(view, x, y)) {
        return ResizeEdge::None;
    }
    const std::int64_t w = view.width;
    const std::int64_t h = view.height;
    const bool left = x < edge_band;
    const bool right = x >= w - (edge_band - 1);
    const bool top = y < edge_band;
    const bool bottom = y >= h - (edge_band - 1);
    if (!right) {
        if (top)
            return left ? ResizeEdge::TopLeft : ResizeEdge::Top;
        if (bottom)
            return left ? ResizeEdge::BottomLeft : ResizeEdge::Bottom;
        return left ? ResizeEdge::Left : ResizeEdge::None;
    }
    if (top)
        return left ? ResizeEdge::TopLeft : ResizeEdge::TopRight;
    if (bottom)
        return left ? ResizeEdge::BottomLeft : ResizeEdge::BottomRight;
    // The scrollbar keeps its strip along the right edge below the header.
    const std::int32_t header = view.metrics.header_height;
    const bool scrollbar = h - header < view.content_height;
    if (y >= header && scrollbar && x >= w - view.metrics.scrollbar_width) {
        return ResizeEdge::None;
    }
    return left ? ResizeEdge::Left : ResizeEdge::Right;
}

bool title_drag_at(const ReportView& view, std::int32_t x, std::int32_t y) {
    return !view.info_open && !view.live && y < view.metrics.header_height &&
           !on_header_button(view, x, y);
}

std::uint32_t cursor_shape_for_edge(ResizeEdge edge) {
    switch (edge) {
        case ResizeEdge::Top:
            return 19;  // n_resize
        case ResizeEdge::Bottom:
            return 22;  // s_resize
        case ResizeEdge::Left:
            return 25;  // w_resize
        case ResizeEdge::Right:
            return 18;  // e_resize
        case ResizeEdge::TopLeft:
            return 21;  // nw_resize
        case ResizeEdge::TopRight:
            return 20;  // ne_resize
        case ResizeEdge::BottomLeft:
            return 24;  // sw_resize
        case ResizeEdge::BottomRight:
            return 23;  // se_resize
        case ResizeEdge::None:
            return 1;  // default
    }
    return 1;
}

std::uint32_t toplevel_edge_for(ResizeEdge edge) {
    switch (edge) {
        case ResizeEdge::Top:
            return 1;
        case ResizeEdge::Bottom:
            return 2;
        case ResizeEdge::Left:
            return 4;
        case ResizeEdge::Right:
            return 8;
        case ResizeEdge::TopLeft:
            return 5;
        case ResizeEdge::TopRight:
            return 9;
        case ResizeEdge::BottomLeft:
            return 6;
        case ResizeEdge::BottomRight:
            return 10;
        case ResizeEdge::None:
            return 0;
    }
    return 0;
}

std::array<const char*, 2> cursor_names_for_edge(ResizeEdge edge) {
    switch (edge) {
        case ResizeEdge::Top:
            return {"top_side", "n-resize"};
        case ResizeEdge::Bottom:
            return {"bottom_side", "s-resize"};
        case ResizeEdge::Left:
            return {"left_side", "w-resize"};
        case ResizeEdge::Right:
            return {"right_side", "e-resize"};
        case ResizeEdge::TopLeft:
            return {"top_left_corner", "nw-resize"};
        case ResizeEdge::TopRight:
            return {"top_right_corner", "ne-resize"};
        case ResizeEdge::BottomLeft:
            return {"bottom_left_corner", "sw-resize"};
        case ResizeEdge::BottomRight:
            return {"bottom_right_corner", "se-resize"};
        case ResizeEdge::None:
            return {"left_ptr", "default"};
    }
    return {"left_ptr", "default"};
}

std::int32_t pointer_theme_size(std::optional<std::string_view> value) {
    std::int32_t size = 0;
    if (value) {
        const std::string_view s = trim(*value);
        const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), size);
        if (error != std::errc{} || end != s.data() + s.size()) {
            size = 0;
        }
    }
    return size >= 1 && size <= 512 ? size : 24;
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

std::int32_t pointer_pixel(double buffer_coordinate) {
    return trunc_i32(buffer_coordinate);
}

}  // namespace nadrel

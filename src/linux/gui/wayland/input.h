// The Wayland input rules that need no connection: the key table by Linux key code (used while
// the compositor has sent no keymap), key repeat and the hit tests for moving and resizing an
// undecorated window.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

#include "linux/gui/view/view.h"

namespace nadrel {

// The view key of a Linux input event code (US physical positions, the keypad as without
// NumLock), if any.
std::optional<ViewKey> key_for_code(std::uint32_t code);

// Where a press resizes an undecorated window, in the order of the cursor and edge tables.
enum class ResizeEdge : std::uint8_t {
    Top = 0,
    Bottom = 1,
    Left = 2,
    Right = 3,
    TopLeft = 4,
    TopRight = 5,
    BottomLeft = 6,
    BottomRight = 7,
    None = 8,
};
// Where a press at (x, y) in buffer pixels would resize the window; None when the compositor
// decorates it, the About card is open, or the point is on a header button or the scrollbar.
ResizeEdge resize_edge_at(const ReportView& view, std::int32_t x, std::int32_t y);
// Whether a press at (x, y) would move the window: empty header, no card open.
bool title_drag_at(const ReportView& view, std::int32_t x, std::int32_t y);
// wp_cursor_shape_device_v1 shape for an edge (1, default, for None).
std::uint32_t cursor_shape_for_edge(ResizeEdge edge);
// xdg_toplevel resize edge for an edge (0, none, for None).
std::uint32_t toplevel_edge_for(ResizeEdge edge);
// The cursor names of a theme for an edge, the X11 name first ("right_side", "e-resize"); the
// arrow for None.
std::array<const char*, 2> cursor_names_for_edge(ResizeEdge edge);
// XCURSOR_SIZE as pixels at scale 1: a whole number 1 ... 512, else 24.
std::int32_t pointer_theme_size(std::optional<std::string_view> value);

// Key repeat as the compositor asks for it with repeat_info.
struct KeyRepeat {
    bool active = false;
    std::uint32_t code = 0;
    Instant next{};
    std::int32_t rate = 0;     // repeats per second, 0..100; 0 = no repeat
    std::int32_t delay = 600;  // milliseconds before the first repeat, at least 0
};

// Rate limited to 0..100 (more than 100 a second is no use), a negative delay taken as 0.
void set_repeat_info(KeyRepeat& repeat, std::int32_t rate, std::int32_t delay);
// Time between repeats: 1000 ms at rate 1, else max(1, 1000 / rate) ms.
std::chrono::milliseconds repeat_interval(std::int32_t rate);
// A key went down: repeat it when it maps to a view key and repeat is on, else stop repeating.
void repeat_press(KeyRepeat& repeat, std::uint32_t code, bool mapped, Instant now);
// A key went up (or an unknown key state): stop when it is the repeating key.
void repeat_release(KeyRepeat& repeat, std::uint32_t code);
// When the loop must wake for the next repeat, if any.
std::optional<Instant> repeat_deadline(const KeyRepeat& repeat);
// True when the repeating key fires now; the next repeat is then scheduled from now.
bool repeat_fire(KeyRepeat& repeat, Instant now);

// A pointer coordinate in surface units times the buffer scale, as a whole buffer pixel:
// saturating, truncated toward zero, a non-number as 0.
std::int32_t pointer_pixel(double buffer_coordinate);

}  // namespace nadrel

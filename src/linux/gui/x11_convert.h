// The X11 backend's arithmetic that needs no server: key lookup, GDK_SCALE, image strips,
// pixel conversion and the poll timeout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "linux/gui/view.h"

namespace nadrel {

// How the server wants a 32-bit pixel: channel shifts from the root visual's masks, the root
// depth and the image byte order of the connection setup.
struct X11PixelLayout {
    std::uint32_t red_shift = 16;
    std::uint32_t green_shift = 8;
    std::uint32_t blue_shift = 0;
    std::uint8_t depth = 24;
    bool msb_first = false;
};

// The server's keyboard mapping, row by row from min_keycode; empty when it could not be read.
struct KeyboardTable {
    std::vector<std::uint32_t> keysyms;
    std::uint8_t keysyms_per_keycode = 0;
    std::uint8_t min_keycode = 0;
};

// The unshifted keysym of a keycode (so Shift and Caps Lock change nothing); 0 when unknown.
std::uint32_t keysym_for(const KeyboardTable& table, std::uint8_t keycode);
// The view key of a keysym; nothing for keys the view does not use.
std::optional<ViewKey> view_key_for(std::uint32_t keysym);

// GDK_SCALE's value as a float: valid UTF-8, trimmed, decimal syntax; nothing otherwise.
std::optional<float> parse_gdk_scale(std::string_view text);
// Applies GDK_SCALE's value (nothing when unset): a factor above 1 scales the view, and the
// window size follows the factor itself, not the clamped scale the view keeps.
void apply_gdk_scale(ReportView& view, std::optional<std::string_view> value);
// One side of the window at a scale: the product truncated and saturated, kept in 1 ... 16384.
std::int32_t scaled_side(float factor, std::int32_t side);

// Rows per PutImage so that one request stays 64 bytes below max_request_bytes (at least 1).
std::int32_t rows_per_request(std::size_t max_request_bytes, std::int32_t width);
// Count of trailing zero bits of a colour mask (32 for an empty mask).
std::uint32_t mask_shift(std::uint32_t mask);
// rows x width canvas pixels starting at row y, converted to the server's pixel format and
// byte order; out is resized to rows x width x 4 bytes.
void convert_rows(std::span<const std::uint32_t> pixels, std::int32_t width, std::int32_t y,
                  std::int32_t rows, const X11PixelLayout& layout, std::vector<std::uint8_t>& out);

// The poll() timeout until a wake-up instant: -1 without one, 0 when it has passed, else whole
// milliseconds rounded down and capped at 2147483647.
int poll_timeout_ms(const std::optional<Instant>& wakeup, Instant now);

}  // namespace nadrel

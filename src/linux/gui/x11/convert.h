// The X11 backend's arithmetic that needs no server: key lookup, GDK_SCALE, image strips,
// pixel conversion and the data served for the clipboard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "linux/gui/view/view.h"

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

// GDK_SCALE's value as a float: valid UTF-8, trimmed, decimal syntax; nothing otherwise.
std::optional<float> parse_gdk_scale(std::string_view text);
// The scale the X resources (the root window's RESOURCE_MANAGER text) ask for with Xft.dpi,
// as toolkits read it: dpi / 96 to the nearest quarter (192 gives 2); nothing without a usable
// value.
std::optional<float> xft_dpi_scale(std::string_view resources);
// Applies a scale factor (nothing: none): a factor above 1 scales the view, and the window
// size follows the factor itself, not the clamped scale the view keeps.
void apply_scale_factor(ReportView& view, std::optional<float> factor);
// The same with GDK_SCALE's value (nothing when unset).
void apply_gdk_scale(ReportView& view, std::optional<std::string_view> value);
// One side of the window at a scale: the product truncated and saturated, kept in 1 ... 16384.
std::int32_t scaled_side(float factor, std::int32_t side);

// Rows per PutImage so that one request stays 64 bytes below max_request_bytes (at least 1).
std::int32_t rows_per_request(std::size_t max_request_bytes, std::int32_t width);
// Count of trailing zero bits of a colour mask (32 for an empty mask).
std::uint32_t mask_shift(std::uint32_t mask);
// One canvas colour as the server's pixel value (for window attributes).
std::uint32_t server_pixel(const X11PixelLayout& layout, std::uint32_t colour);
// rows x width canvas pixels starting at row y, converted to the server's pixel format and
// byte order; out is resized to rows x width x 4 bytes.
void convert_rows(std::span<const std::uint32_t> pixels, std::int32_t width, std::int32_t y,
                  std::int32_t rows, const X11PixelLayout& layout, std::vector<std::uint8_t>& out);

// Predefined atoms of the core protocol.
inline constexpr std::uint32_t atom_atom = 4;
inline constexpr std::uint32_t atom_string = 31;

// Atoms interned at start-up for serving the CLIPBOARD selection.
struct SelectionAtoms {
    std::uint32_t clipboard = 0;
    std::uint32_t targets = 0;
    std::uint32_t utf8_string = 0;
    std::uint32_t text = 0;
};

// A property value answering a selection request.
struct SelectionData {
    std::uint32_t type = 0;
    std::uint8_t format = 8;
    std::vector<std::uint8_t> bytes;  // format 32: words in this machine's byte order
};

// UTF-8 as ISO 8859-1 for the STRING target: characters beyond U+00FF become "?".
std::string latin1_from_utf8(std::string_view text);
// The value for a requested target: TARGETS lists what is offered, UTF8_STRING and TEXT give
// the text as UTF-8, STRING as Latin-1; nothing for any other target.
std::optional<SelectionData> selection_data(const SelectionAtoms& atoms, std::uint32_t target,
                                            std::string_view text);

}  // namespace nadrel

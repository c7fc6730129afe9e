// Text with the system's TrueType fonts: loading, metrics, measuring, wrapping and drawing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "linux/gui/draw/canvas.h"

namespace nadrel {

// One loaded font face with its glyph cache (keyed by character and pixel size, never
// evicted). Shared by reference: a fallback role is the very same object.
class Font;

struct FontSet {
    std::shared_ptr<Font> mono;     // report body, live-card labels and values, cell width
    std::shared_ptr<Font> bold;     // titles, headings; mono when no bold font loads
    std::shared_ptr<Font> regular;  // status line, tooltips, About texts; mono as fallback
};

// The files tried for each role, in order.
extern const std::vector<std::string> mono_font_paths;
extern const std::vector<std::string> bold_font_paths;
extern const std::vector<std::string> regular_font_paths;

inline constexpr std::string_view no_font_error = "no usable system font found";

// Reads a font file whole; nothing when it cannot be read. The window module gives one that
// reads through the bounded, non-blocking reader, so a device or FIFO at a font path cannot
// block the window.
using FontFileReader = std::function<std::optional<std::vector<std::uint8_t>>(const std::string&)>;

// The first path whose file parses as a font (face 0); nothing when none does.
std::shared_ptr<Font> load_font(std::span<const std::string> paths, const FontFileReader& read);
// mono, then bold and regular (falling back to the mono object); nothing without a mono font.
std::optional<FontSet> load_font_set(const FontFileReader& read);

// Vertical metrics in whole pixels at a pixel size (ceil of the scaled hhea values).
std::int32_t ascent_px(const Font& font, float px);
std::int32_t line_height_px(const Font& font, float px);

// The sum of the rounded advances of the characters of s; no kerning, no cache.
std::int32_t text_width(const Font& font, std::string_view s, float px);

// Draws s with its pen starting at x on the baseline; returns the final pen x.
float draw_text(Canvas& canvas, const Font& font, Colour colour, std::int32_t x,
                std::int32_t baseline, std::string_view s, float px);
// The same with every advance rounded, as text_width measures: for the monospaced font, whose
// characters then sit on a whole-pixel grid (columns line up, lines end where measured).
float draw_grid_text(Canvas& canvas, const Font& font, Colour colour, std::int32_t x,
                     std::int32_t baseline, std::string_view s, float px);
// Draws s centred on cx with its top at top; returns line_height_px(font, px).
std::int32_t draw_centred(Canvas& canvas, const Font& font, Colour colour, std::int32_t cx,
                          std::int32_t top, std::string_view s, float px);

// Greedy word wrap at single spaces to max_width pixels; long words stay whole.
std::vector<std::string> wrap_words(const Font& font, std::string_view text, std::int32_t max_width,
                                    float px);
// s itself when it fits, else its longest fitting start followed by "…".
std::string truncate_to_width(const Font& font, std::string_view s, std::int32_t max_width,
                              float px);
// s itself when it fits, else its start and its end around "…" (for paths: the file name at
// the end stays); the end takes what the start leaves of the room.
std::string truncate_middle(const Font& font, std::string_view s, std::int32_t max_width, float px);

// Number of (character, size) entries in the font's glyph cache.
std::size_t cached_glyph_count(const Font& font);

}  // namespace nadrel

// Measuring, wrapping and drawing text; the font lists of each role and their loading.
#include "linux/gui/draw/text.h"

#include <cmath>

#include "core/text/unicode.h"
#include "linux/gui/draw/font.h"

namespace nadrel {

const std::vector<std::string> mono_font_paths = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
    "/usr/share/fonts/TTF/DejaVuSansMono.ttf",
    "/usr/share/fonts/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/liberation/LiberationMono-Regular.ttf",
};
const std::vector<std::string> bold_font_paths = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf",
    "/usr/share/fonts/TTF/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans-Bold.ttf",
};
const std::vector<std::string> regular_font_paths = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};

namespace {

constexpr std::string_view ellipsis = "\u2026";

std::int32_t ceil_i32(double v) {
    return trunc_i32(std::ceil(v));
}

std::int32_t rounded_advance(const Font& font, char32_t c, float px) {
    return round_i32(font.advance(c, px));
}

std::int32_t saturating_add(std::int32_t a, std::int32_t b) {
    return trunc_i32(static_cast<double>(a) + b);
}

}  // namespace

std::shared_ptr<Font> load_font(std::span<const std::string> paths, const FontFileReader& read) {
    for (const std::string& path : paths) {
        auto bytes = read ? read(path) : std::nullopt;
        if (!bytes) {
            continue;
        }
        if (auto font = Font::open(std::move(*bytes))) {
            return font;
        }
    }
    return nullptr;
}

std::optional<FontSet> load_font_set(const FontFileReader& read) {
    FontSet set;
    set.mono = load_font(mono_font_paths, read);
    if (!set.mono) {
        return std::nullopt;
    }
    set.bold = load_font(bold_font_paths, read);
    if (!set.bold) {
        set.bold = set.mono;
    }
    set.regular = load_font(regular_font_paths, read);
    if (!set.regular) {
        set.regular = set.mono;
    }
    return set;
}

std::int32_t ascent_px(const Font& font, float px) {
    if (const auto& m = font.line_metrics()) {
        return ceil_i32(m->ascent * double{px} / font.units_per_em());
    }
    return ceil_i32(px);
}

std::int32_t line_height_px(const Font& font, float px) {
    if (const auto& m = font.line_metrics()) {
        const double new_line = m->ascent - m->descent + m->line_gap;
        return ceil_i32(new_line * double{px} / font.units_per_em());
    }
    return ceil_i32(px);
}

std::int32_t text_width(const Font& font, std::string_view s, float px) {
    std::int32_t width = 0;
    for (std::size_t i = 0; i < s.size();) {
        width = saturating_add(width, rounded_advance(font, next_char(s, i), px));
    }
    return width;
}

namespace {

enum class Advance { Fractional, Rounded };

float draw_glyphs(Canvas& canvas, const Font& font, Colour colour, std::int32_t x,
                  std::int32_t baseline, std::string_view s, float px, Advance advance) {
    float pen = static_cast<float>(x);
    for (std::size_t i = 0; i < s.size();) {
        const char32_t c = next_char(s, i);
        if (c == U' ') {
            pen += static_cast<float>(rounded_advance(font, c, px));
            continue;
        }
        const Glyph& g = font.glyph(c, px);
        if (!g.coverage.empty()) {
            const std::int32_t left = saturating_add(round_i32(pen), g.xmin);
            const std::int32_t top = trunc_i32(static_cast<double>(baseline) - g.ymin - g.height);
            canvas.blend_coverage(left, top, g.coverage, g.width, g.height, colour);
        }
        switch (advance) {
            case Advance::Fractional:
                pen += g.advance;
                break;
            case Advance::Rounded:
                pen += static_cast<float>(round_i32(g.advance));
                break;
        }
    }
    return pen;
}

}  // namespace

float draw_text(Canvas& canvas, const Font& font, Colour colour, std::int32_t x,
                std::int32_t baseline, std::string_view s, float px) {
    return draw_glyphs(canvas, font, colour, x, baseline, s, px, Advance::Fractional);
}

float draw_grid_text(Canvas& canvas, const Font& font, Colour colour, std::int32_t x,
                     std::int32_t baseline, std::string_view s, float px) {
    return draw_glyphs(canvas, font, colour, x, baseline, s, px, Advance::Rounded);
}

std::int32_t draw_centred(Canvas& canvas, const Font& font, Colour colour, std::int32_t cx,
                          std::int32_t top, std::string_view s, float px) {
    const std::int32_t left = trunc_i32(static_cast<double>(cx) - text_width(font, s, px) / 2);
    draw_text(canvas, font, colour, left, saturating_add(top, ascent_px(font, px)), s, px);
    return line_height_px(font, px);
}

std::vector<std::string> wrap_words(const Font& font, std::string_view text, std::int32_t max_width,
                                    float px) {
    const std::int64_t space_w = rounded_advance(font, U' ', px);
    std::vector<std::string> lines;
    std::string line;
    std::int64_t w = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view word = text.substr(start, end - start);
        const std::int64_t ww = text_width(font, word, px);
        if (line.empty()) {
            line = word;
            w = ww;
        } else if (w + space_w + ww <= max_width) {
            line += ' ';
            line += word;
            w += space_w + ww;
        } else {
            lines.push_back(std::move(line));
            line = word;
            w = ww;
        }
        start = end + 1;
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string truncate_to_width(const Font& font, std::string_view s, std::int32_t max_width,
                              float px) {
    if (text_width(font, s, px) <= max_width) {
        return std::string(s);
    }
    const std::int64_t e = text_width(font, ellipsis, px);
    std::int64_t sum = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t next = i;
        const char32_t c = next_char(s, next);
        if (sum + rounded_advance(font, c, px) + e > max_width) {
            break;
        }
        sum += rounded_advance(font, c, px);
        i = next;
    }
    std::string out(s.substr(0, i));
    out += ellipsis;
    return out;
}

std::string truncate_middle(const Font& font, std::string_view s, std::int32_t max_width,
                            float px) {
    if (text_width(font, s, px) <= max_width) {
        return std::string(s);
    }
    // Each character's start and rounded advance.
    std::vector<std::pair<std::size_t, std::int64_t>> chars;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t start = i;
        chars.emplace_back(start, rounded_advance(font, next_char(s, i), px));
    }
    const std::int64_t room = std::int64_t{max_width} - text_width(font, ellipsis, px);
    std::int64_t used = 0;
    std::size_t head = 0;  // characters kept from the start
    while (head < chars.size() && used + chars[head].second <= room / 2) {
        used += chars[head++].second;
    }
    std::size_t tail = chars.size();  // the first character kept at the end
    while (tail > head && used + chars[tail - 1].second <= room) {
        used += chars[--tail].second;
    }
    std::string out(s.substr(0, head < chars.size() ? chars[head].first : s.size()));
    out += ellipsis;
    if (tail < chars.size()) {
        out += s.substr(chars[tail].first);
    }
    return out;
}

std::size_t cached_glyph_count(const Font& font) {
    return font.cache_size();
}

}  // namespace nadrel

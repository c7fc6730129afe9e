// The report content: each section an icon, a coloured title and its rows in the monospaced
// font, cut to the window width by counting characters (the body font is monospaced).
#include "linux/gui/view/layout.h"

#include <algorithm>

#include "core/text/unicode.h"
#include "linux/gui/draw/icons.h"

namespace nadrel {

namespace {

struct SectionColours {
    Colour icon_dark, icon_light, title_dark, title_light;
};

SectionColours colours_of(SectionKind kind) {
    switch (kind) {
        case SectionKind::System:
            return {0xFFFFFF, 0x1A1A1A, 0xFFFFFF, 0x1A1A1A};
        case SectionKind::Cpu:
            return {0xFECFC7, 0x974E45, 0xFFECE9, 0x492F2B};
        case SectionKind::Memory:
            return {0xC1DFFF, 0x356A9D, 0xE6F2FF, 0x27384B};
        case SectionKind::Gpu:
            return {0xC4E6C8, 0x387646, 0xE7F5E9, 0x283D2B};
        case SectionKind::Storage:
            return {0xECD1F2, 0x7F538A, 0xF8EDFA, 0x403044};
        case SectionKind::Network:
            return {0xB2E7E9, 0x007579, 0xE1F6F6, 0x1F3C3D};
        case SectionKind::Motherboard:
            return {0xE3DDB4, 0x746713, 0xF4F1E1, 0x3B371F};
        case SectionKind::Other:
            return {0xD7D7FF, 0x615D9D, 0xEFEFFF, 0x34344B};
        case SectionKind::Battery:
            return {0xFACDDD, 0x924D69, 0xFEEBF1, 0x472E38};
        case SectionKind::Attention:
            return {0xFFD966, 0x8A6400, 0xFFF2CC, 0x473800};
        case SectionKind::Sensors:
            return {0xF5C6A5, 0x8C4F25, 0xFCE9DC, 0x45301F};
        case SectionKind::Devices:
            return {0xF6D7B5, 0x8A5A1F, 0xFCEFE2, 0x45321C};
    }
    return {0xFFFFFF, 0x1A1A1A, 0xFFFFFF, 0x1A1A1A};
}

// Characters before a labelled value: the label column (18, or "│ " and 16) and ": ".
constexpr std::size_t value_column = 20;

// One line of a row before cutting: its text (without the report's two leading spaces), the
// indent of its continuation pieces and where its value starts (no cut before it, so a long
// value never leaves its label alone on a line), both in characters.
struct SourceLine {
    std::string text;
    std::size_t indent = 0;
    std::size_t value_start = 0;
};

// A row as the text report writes it, but a label too long for its column takes a line of its
// own and the value follows under the value column, the colon kept in its column.
std::vector<SourceLine> source_lines(const ReportRow& row) {
    std::string line = row_line(row);
    if (line.starts_with("  ")) {
        line.erase(0, 2);
    }
    switch (row.kind) {
        case RowKind::Field:
            if (row.value.empty()) {
                return {{std::move(line), value_column, 0}};
            }
            if (char_count(row.text) > value_column - 2) {
                return {{row.text, 2, 0},
                        {std::string(value_column - 2, ' ') + ": " + row.value, value_column,
                         value_column}};
            }
            return {{std::move(line), value_column, value_column}};
        case RowKind::SubField:
            if (char_count(row.text) > value_column - 4) {
                return {{"\u2502 " + row.text, 2, 0},
                        {"\u2502" + std::string(value_column - 3, ' ') + ": " + row.value,
                         value_column, value_column}};
            }
            return {{std::move(line), value_column, value_column}};
        case RowKind::Bullet:
            return {{std::move(line), 2, 0}};
        case RowKind::Raw: {
            const std::size_t indent = row.text.find_first_not_of(' ');
            return {{std::move(line), indent == std::string::npos ? row.text.size() : indent, 0}};
        }
    }
    return {{std::move(line), 0, 0}};
}

// Calls emit(start, end) with character indexes of each piece of a line of n characters. The
// first piece is cut at a space only from the value on.
template <typename Emit>
void cut_pieces(const std::vector<std::size_t>& offsets, std::string_view line, std::size_t c,
                std::size_t k, std::size_t value_start, Emit&& emit) {
    const std::size_t n = offsets.size() - 1;  // offsets has n + 1 entries (byte ends)
    std::size_t start = 0;
    std::size_t allowance = c;
    std::size_t lowest = std::max<std::size_t>(1, value_start);
    while (true) {
        if (n - start <= allowance) {
            emit(start, n);
            return;
        }
        std::size_t p = start + allowance - 1;
        while (p >= lowest && line[offsets[p]] != ' ') {
            --p;
        }
        if (p >= lowest) {
            emit(start, p);
            start = p + 1;
        } else {
            emit(start, start + allowance);
            start += allowance;
        }
        allowance = c - k;
        lowest = start + 1;
    }
}

std::vector<std::size_t> char_offsets(std::string_view s) {
    std::vector<std::size_t> offsets;
    offsets.reserve(s.size() + 1);
    for (std::size_t i = 0; i < s.size();) {
        offsets.push_back(i);
        next_char(s, i);
    }
    offsets.push_back(s.size());
    return offsets;
}

std::size_t count_lines(const ReportRow& row, std::int32_t chars_per_line) {
    const std::size_t c = static_cast<std::size_t>(std::max(1, chars_per_line));
    std::size_t count = 0;
    for (const SourceLine& source : source_lines(row)) {
        if (source.text.size() <= c) {  // bytes >= characters
            ++count;
            continue;
        }
        const std::vector<std::size_t> offsets = char_offsets(source.text);
        if (offsets.size() - 1 <= c) {
            ++count;
            continue;
        }
        cut_pieces(offsets, source.text, c, std::min(source.indent, c - 1), source.value_start,
                   [&](std::size_t, std::size_t) { ++count; });
    }
    return count;
}

void draw_icon(Canvas& canvas, SectionKind kind, std::int32_t left, std::int32_t top,
               std::int32_t size, Colour colour, Colour background) {
    const std::int64_t s = size;
    for (const IconRect& r : section_icon(kind)) {
        const std::int64_t x0 = s * r.x / 24;
        const std::int64_t y0 = s * r.y / 24;
        const std::int64_t w = std::max<std::int64_t>(1, s * (r.x + r.w) / 24 - x0);
        const std::int64_t h = std::max<std::int64_t>(1, s * (r.y + r.h) / 24 - y0);
        canvas.fill_rect(clamp_i32(left + x0), clamp_i32(top + y0), clamp_i32(w), clamp_i32(h),
                         r.hole ? background : colour);
    }
}

}  // namespace

Colour section_icon_colour(SectionKind kind, bool dark) {
    const SectionColours c = colours_of(kind);
    return dark ? c.icon_dark : c.icon_light;
}

Colour section_title_colour(SectionKind kind, bool dark) {
    const SectionColours c = colours_of(kind);
    return dark ? c.title_dark : c.title_light;
}

ContentGeometry content_geometry(const ReportView& view, std::int32_t width) {
    const ViewMetrics& m = view.metrics;
    const Font& mono = *view.fonts.mono;
    const Font& bold = *view.fonts.bold;
    ContentGeometry g;
    const std::int64_t area =
        std::max<std::int64_t>(std::int64_t{width} - m.text_indent - m.margin - m.scrollbar_width,
                               round_i32(40.0 * double{view.scale}));
    g.cell_width = text_width(mono, "0", m.body_size);
    g.chars_per_line = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(area / std::max(1, g.cell_width), 1, INT32_MAX));
    g.line_height = line_height_px(mono, m.body_size);
    g.ascent = ascent_px(mono, m.body_size);
    g.title_height = line_height_px(bold, m.heading_size);
    g.title_ascent = ascent_px(bold, m.heading_size);
    g.icon_size = round_i32(24.0 * double{view.scale});
    g.row_height = std::max(g.title_height, g.icon_size);
    g.gap8 = scaled(8, view.scale);
    g.gap16 = scaled(16, view.scale);
    return g;
}

std::vector<std::string> cut_row(const ReportRow& row, std::int32_t chars_per_line) {
    const std::size_t c = static_cast<std::size_t>(std::max(1, chars_per_line));
    std::vector<std::string> pieces;
    for (SourceLine& source : source_lines(row)) {
        const std::vector<std::size_t> offsets = char_offsets(source.text);
        if (offsets.size() - 1 <= c) {
            pieces.push_back(std::move(source.text));
            continue;
        }
        const std::size_t k = std::min(source.indent, c - 1);
        bool first = true;
        cut_pieces(offsets, source.text, c, k, source.value_start,
                   [&](std::size_t start, std::size_t end) {
                       std::string piece = first ? std::string() : std::string(k, ' ');
                       piece.append(source.text, offsets[start], offsets[end] - offsets[start]);
                       pieces.push_back(std::move(piece));
                       first = false;
                   });
    }
    return pieces;
}

std::int32_t measure_content(const Report& report, const ContentGeometry& g) {
    std::int64_t y = g.gap8;
    bool first = true;
    for (const ReportSection& section : report.sections) {
        y += first ? g.gap8 : std::int64_t{g.gap16} + g.line_height;
        first = false;
        y += std::int64_t{g.gap8} + g.row_height;
        for (const ReportRow& row : section.rows) {
            y += static_cast<std::int64_t>(count_lines(row, g.chars_per_line)) * g.line_height;
        }
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(y + g.gap16, INT32_MAX));
}

void draw_content(Canvas& canvas, const ReportView& view, const ContentGeometry& g,
                  std::int32_t dy) {
    const ViewMetrics& m = view.metrics;
    const Report& report = shown_report(view);
    const Font& mono = *view.fonts.mono;
    const Font& bold = *view.fonts.bold;
    const std::int64_t bottom = canvas.height();
    std::int64_t y = std::int64_t{g.gap8} + dy;
    bool first = true;
    for (const ReportSection& section : report.sections) {
        y += first ? g.gap8 : std::int64_t{g.gap16} + g.line_height;
        first = false;
        const std::int64_t top = y;
        if (top < bottom + g.row_height && top + 2 * g.row_height > 0) {
            const std::int32_t left = m.margin + (m.icon_column - g.icon_size) / 2;
            draw_icon(canvas, section.kind, left, clamp_i32(top + (g.row_height - g.icon_size) / 2),
                      g.icon_size, section_icon_colour(section.kind, view.dark),
                      view.theme.background);
            draw_text(canvas, bold, section_title_colour(section.kind, view.dark), m.text_indent,
                      clamp_i32(top + g.title_ascent + (g.row_height - g.title_height) / 2),
                      section.title, m.heading_size);
        }
        y += std::int64_t{g.gap8} + g.row_height;
        for (const ReportRow& row : section.rows) {
            // Lines well outside the canvas would only be clipped pixel by pixel; skip them
            // (a line's height of slack keeps glyphs that reach beyond their line).
            const std::int64_t lines =
                static_cast<std::int64_t>(count_lines(row, g.chars_per_line));
            const std::int64_t slack = g.line_height;
            if (y >= bottom + slack || y + (lines + 1) * g.line_height <= 0) {
                y += lines * g.line_height;
                continue;
            }
            for (const std::string& line : cut_row(row, g.chars_per_line)) {
                if (y < bottom + slack && y + 2 * g.line_height > 0) {
                    draw_grid_text(canvas, mono, view.theme.text, m.text_indent,
                                   clamp_i32(y + g.ascent), line, m.body_size);
                }
                y += g.line_height;
            }
        }
    }
}

}  // namespace nadrel

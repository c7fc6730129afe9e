// The report content of the view: section positions, cut text lines, icons and titles. The
// same routine measures (no canvas) and draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "linux/gui/view/view.h"

namespace nadrel {

// Per-frame sizes of the content, from the view's metrics and window width.
struct ContentGeometry {
    std::int32_t cell_width = 1;      // advance of "0" in mono
    std::int32_t chars_per_line = 1;  // C
    std::int32_t line_height = 1;     // L
    std::int32_t ascent = 1;          // A
    std::int32_t title_height = 1;    // TL
    std::int32_t title_ascent = 1;    // TA
    std::int32_t icon_size = 1;       // S
    std::int32_t row_height = 1;      // R = max(TL, S)
    std::int32_t gap8 = 1;            // round(8 s)
    std::int32_t gap16 = 1;           // round(16 s)
};

ContentGeometry content_geometry(const ReportView& view, std::int32_t width);

// A report row as the lines the view shows at chars_per_line characters: the text line without
// its two leading spaces, cut at spaces from the value on (or hard), continuations indented; a
// label longer than its column on a line of its own, the colon and value on the next.
std::vector<std::string> cut_row(const ReportRow& row, std::int32_t chars_per_line);

// The content height of a document (scroll 0), without drawing.
std::int32_t measure_content(const Report& report, const ContentGeometry& geometry);

// Draws the sections with content y shifted by dy (header_height - scroll_offset).
void draw_content(Canvas& canvas, const ReportView& view, const ContentGeometry& geometry,
                  std::int32_t dy);

// Icon and title colour of a section kind in a theme.
Colour section_icon_colour(SectionKind kind, bool dark);
Colour section_title_colour(SectionKind kind, bool dark);

}  // namespace nadrel

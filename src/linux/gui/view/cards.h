// Drawing helpers shared by the frame and its modal cards (About, live readout).
#pragma once

#include <cstdint>

#include "linux/gui/view/view.h"

namespace nadrel {

// A border of t pixels inside the rectangle.
void draw_border(Canvas& canvas, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::int32_t t, Colour colour);

// The scrollbar thumb for a visible height and content height (64-bit arithmetic).
struct ThumbGeometry {
    std::int64_t length = 0;  // T
    std::int64_t offset = 0;  // O
    std::int64_t range = 0;   // content_height - visible
};
ThumbGeometry thumb_geometry(std::int64_t visible, std::int64_t content_height,
                             std::int64_t scroll_offset, std::int32_t min_thumb);

void draw_about_card(Canvas& canvas, const ReportView& view);
// The live card scrolled by scroll pixels (clamped); returns how far it can scroll: 0 when it
// fits the window.
std::int32_t draw_live_card(Canvas& canvas, const ReportView& view, const LiveCard& card,
                            std::int32_t scroll);

}  // namespace nadrel

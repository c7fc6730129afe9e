// A complete frame of the report view: page, content, scrollbar, header, buttons, tooltip and
// the About and live cards on top.
#include <algorithm>

#include "linux/gui/draw/icons.h"
#include "linux/gui/view/cards.h"
#include "linux/gui/view/layout.h"
#include "linux/gui/view/view.h"

namespace nadrel {

namespace {

ButtonImage image_of(const ReportView& view, ButtonKind kind) {
    switch (kind) {
        case ButtonKind::Detail:
            return view.detail ? ButtonImage::TickedBox : ButtonImage::EmptyBox;
        case ButtonKind::Live:
            return ButtonImage::Pulse;
        case ButtonKind::Theme:
            return ButtonImage::Sun;
        case ButtonKind::Save:
            return ButtonImage::Floppy;
        case ButtonKind::Info:
            return ButtonImage::InfoCircle;
        case ButtonKind::Close:
        case ButtonKind::NoButton:
            return ButtonImage::Cross;
    }
    return ButtonImage::Cross;
}

void draw_scrollbar(Canvas& canvas, const ReportView& view) {
    const ViewMetrics& m = view.metrics;
    const std::int64_t v = std::int64_t{canvas.height()} - m.header_height;
    const std::int64_t ch = view.content_height;
    if (v >= ch) {
        return;
    }
    const ThumbGeometry thumb = thumb_geometry(v, ch, view.scroll_offset, m.min_thumb);
    const std::int64_t x0 = std::int64_t{canvas.width()} - m.scrollbar_width + m.thumb_inset;
    const std::int64_t x1 = std::int64_t{canvas.width()} - m.thumb_inset;
    const std::int64_t y0 = std::int64_t{m.header_height} + thumb.offset + m.thumb_inset;
    const std::int64_t y1 =
        std::int64_t{m.header_height} + thumb.offset + thumb.length - m.thumb_inset;
    canvas.fill_rect(clamp_i32(x0), clamp_i32(y0), clamp_i32(x1 - x0), clamp_i32(y1 - y0),
                     view.theme.thumb);
}

void draw_header(Canvas& canvas, const ReportView& view) {
    const ViewMetrics& m = view.metrics;
    canvas.fill_rect(0, 0, canvas.width(), m.header_height, view.theme.background);
    const std::int32_t c = (m.header_height - trunc_i32(m.title_size) - trunc_i32(m.small_size) -
                            scaled(4, view.scale)) /
                           2;
    // The title and the status line end a gap before the leftmost button, cut with "…" when
    // longer (the status line in its middle, keeping a saved file's name); a line with no room
    // for even that is left out.
    const std::vector<Button> list = buttons(view, canvas.width());
    const std::int64_t first_button = list.empty() ? canvas.width() : list.back().x;
    const std::int32_t room =
        clamp_i32(std::max<std::int64_t>(0, first_button - m.button_gap - m.margin));
    const Font& bold = *view.fonts.bold;
    const Font& regular = *view.fonts.regular;
    const std::string title = truncate_to_width(bold, window_title, room, m.title_size);
    if (text_width(bold, title, m.title_size) <= room) {
        draw_text(canvas, bold, view.theme.text, m.margin, ascent_px(bold, m.title_size) + c, title,
                  m.title_size);
    }
    const std::string status = truncate_middle(regular, view.status_text, room, m.small_size);
    if (text_width(regular, status, m.small_size) <= room) {
        draw_text(
            canvas, regular, view.theme.muted, m.margin,
            scaled(4, view.scale) + trunc_i32(m.title_size) + ascent_px(regular, m.small_size) + c,
            status, m.small_size);
    }

    const std::int32_t p = round_i32(20.0 * double{view.scale});
    for (const Button& b : list) {
        canvas.fill_rect(b.x, b.y, b.w, b.h,
                         b.kind == view.hover ? view.theme.button_hover : view.theme.button);
        if (p > 0) {
            canvas.draw_alpha_image(b.x + (b.w - p) / 2, b.y + (b.h - p) / 2, p,
                                    button_image(image_of(view, b.kind)), view.theme.text);
        }
    }

    const std::int32_t t = scaled(1, view.scale);
    canvas.fill_rect(0, m.header_height - t, canvas.width(), t, view.theme.muted);
}

void draw_tooltip(Canvas& canvas, const ReportView& view, ButtonKind kind) {
    const ViewMetrics& m = view.metrics;
    const auto list = buttons(view, canvas.width());
    const auto it =
        std::find_if(list.begin(), list.end(), [kind](const Button& b) { return b.kind == kind; });
    if (it == list.end()) {
        return;
    }
    const std::string_view label = tooltip_label(view, kind);
    const Font& font = *view.fonts.regular;
    const std::int32_t pad = round_i32(6.0 * double{view.scale});
    const std::int64_t bw = std::int64_t{text_width(font, label, m.small_size)} + 2 * pad;
    const std::int64_t v = std::int64_t{it->x} + it->w - bw;
    const std::int64_t x = v < 0 ? 0 : std::min(v, std::max<std::int64_t>(0, canvas.width() - bw));
    const std::int64_t top = std::int64_t{it->y} + it->h + pad / 2;
    const std::int64_t bh = 2 * std::int64_t{pad} + trunc_i32(m.small_size);
    canvas.fill_rect(clamp_i32(x), clamp_i32(top), clamp_i32(bw), clamp_i32(bh), view.theme.button);
    draw_border(canvas, clamp_i32(x), clamp_i32(top), clamp_i32(bw), clamp_i32(bh),
                scaled(1, view.scale), view.theme.border);
    draw_text(canvas, font, view.theme.text, clamp_i32(x + pad),
              clamp_i32(top + pad + ascent_px(font, m.small_size)), label, m.small_size);
}

}  // namespace

ThumbGeometry thumb_geometry(std::int64_t visible, std::int64_t content_height,
                             std::int64_t scroll_offset, std::int32_t min_thumb) {
    ThumbGeometry t;
    t.length = std::max<std::int64_t>(content_height > 0 ? visible * visible / content_height : 0,
                                      min_thumb);
    t.range = content_height - visible;
    t.offset = t.range < 1 ? 0 : scroll_offset * (visible - t.length) / t.range;
    return t;
}

void draw_border(Canvas& canvas, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                 std::int32_t t, Colour colour) {
    canvas.fill_rect(x, y, w, t, colour);
    canvas.fill_rect(x, clamp_i32(std::int64_t{y} + h - t), w, t, colour);
    canvas.fill_rect(x, y, t, h, colour);
    canvas.fill_rect(clamp_i32(std::int64_t{x} + w - t), y, t, h, colour);
}

Canvas render(ReportView& view) {
    Canvas canvas = Canvas::create(view.width, view.height, view.theme.background);
    const ViewMetrics& m = view.metrics;
    const ContentGeometry geometry = content_geometry(view, canvas.width());
    view.content_height = measure_content(shown_report(view), geometry);
    const std::int64_t max_scroll = std::max<std::int64_t>(
        0, std::int64_t{m.header_height} + view.content_height - canvas.height());
    view.scroll_offset = clamp_i32(std::clamp<std::int64_t>(view.scroll_offset, 0, max_scroll));

    draw_content(canvas, view, geometry, m.header_height - view.scroll_offset);
    draw_scrollbar(canvas, view);
    draw_header(canvas, view);
    const ButtonKind due = tooltip_due(view);
    if (due != ButtonKind::NoButton) {
        draw_tooltip(canvas, view, due);
    }
    view.tooltip_shown = due != ButtonKind::NoButton;
    if (view.info_open) {
        draw_about_card(canvas, view);
    }
    if (view.live) {
        view.live_scroll_max = draw_live_card(canvas, view, *view.live, view.live_scroll);
        view.live_scroll = std::clamp(view.live_scroll, 0, view.live_scroll_max);
    } else {
        view.live_scroll = 0;
        view.live_scroll_max = 0;
    }
    return canvas;
}

}  // namespace nadrel

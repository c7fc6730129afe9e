// What keys, clicks, drags, the wheel and the timers do to the report view, and whether the
// window must be redrawn or closed. Nothing here blocks or talks to the display server.
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/report/report.h"
#include "linux/gui/view/cards.h"
#include "linux/gui/view/view.h"

namespace nadrel {

namespace {

std::int64_t visible_height(const ReportView& view) {
    return std::int64_t{view.height} - view.metrics.header_height;
}

std::optional<ButtonKind> button_at(const ReportView& view, std::int32_t x, std::int32_t y) {
    for (const Button& b : buttons(view, view.width)) {
        if (std::int64_t{b.x} <= x && x < std::int64_t{b.x} + b.w && std::int64_t{b.y} <= y &&
            y < std::int64_t{b.y} + b.h) {
            return b.kind;
        }
    }
    return std::nullopt;
}

void scroll_by(ReportView& view, std::int64_t pixels) {
    view.scroll_offset = clamp_i32(std::int64_t{view.scroll_offset} + pixels);
}

void toggle_detail(ReportView& view) {
    view.detail = !view.detail;
    view.scroll_offset = 0;
}

ViewResponse clear_hover(ReportView& view) {
    if (view.hover == ButtonKind::NoButton) {
        return ViewResponse::Nothing;
    }
    view.hover = ButtonKind::NoButton;
    view.hover_since.reset();
    return ViewResponse::Redraw;
}

// Scroll position for a thumb whose grab point is at window row y.
std::int32_t scroll_for_pointer(const ReportView& view, std::int64_t p) {
    const std::int64_t v = visible_height(view);
    const ThumbGeometry thumb =
        thumb_geometry(v, view.content_height, view.scroll_offset, view.metrics.min_thumb);
    if (thumb.range < 1) {
        return 0;
    }
    const std::int64_t track = std::max<std::int64_t>(1, v - thumb.length);
    return clamp_i32(thumb.range * std::clamp<std::int64_t>(p, 0, track) / track);
}

// Scrolls a live card taller than the window; false when the card fits (nothing to scroll).
bool scroll_live_card(ReportView& view, std::int64_t pixels) {
    if (view.live_scroll_max <= 0) {
        return false;
    }
    view.live_scroll = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::int64_t{view.live_scroll} + pixels, 0, view.live_scroll_max));
    return true;
}

// A scrolling key on an open live card: the card's own position, when it is taller than the
// window.
ViewResponse live_card_key(ReportView& view, ViewKey key) {
    std::int64_t pixels = 0;
    switch (key) {
        case ViewKey::LineUp:
            pixels = -std::int64_t{line_step(view)};
            break;
        case ViewKey::LineDown:
            pixels = line_step(view);
            break;
        case ViewKey::PageUp:
            pixels = -std::int64_t{page_step(view)};
            break;
        case ViewKey::PageDown:
            pixels = page_step(view);
            break;
        case ViewKey::Home:
            pixels = std::numeric_limits<std::int32_t>::min();
            break;
        case ViewKey::End:
            pixels = std::numeric_limits<std::int32_t>::max();
            break;
        case ViewKey::Quit:
        case ViewKey::Info:
        case ViewKey::Live:
        case ViewKey::Theme:
        case ViewKey::Save:
        case ViewKey::Detail:
        case ViewKey::Dismiss:
        case ViewKey::Copy:
            return ViewResponse::Nothing;
    }
    return scroll_live_card(view, pixels) ? ViewResponse::Redraw : ViewResponse::Nothing;
}

void close_live(ReportView& view) {
    view.live.reset();
    view.live_scroll = 0;
    view.live_scroll_max = 0;
}

}  // namespace

std::optional<ViewKey> view_key_for(std::uint32_t keysym) {
    switch (keysym) {
        case 0xFF1B:  // Escape
        case 0x71:    // q
            return ViewKey::Quit;
        case 0x69:
            return ViewKey::Info;
        case 0x6C:
            return ViewKey::Live;
        case 0x62:
            return ViewKey::Theme;
        case 0x73:
            return ViewKey::Save;
        case 0x64:
            return ViewKey::Detail;
        case 0x63:  // c
            return ViewKey::Copy;
        case 0x20:    // space
        case 0xFF0D:  // Return
            return ViewKey::Dismiss;
        case 0xFF8D:  // KP_Enter
            return ViewKey::Dismiss;
        // The keypad's keys as they are without NumLock scroll like the others.
        case 0xFF52:
        case 0xFF97:  // KP_Up
            return ViewKey::LineUp;
        case 0xFF54:
        case 0xFF99:  // KP_Down
            return ViewKey::LineDown;
        case 0xFF55:  // Prior
        case 0xFF9A:  // KP_Prior
            return ViewKey::PageUp;
        case 0xFF56:  // Next
        case 0xFF9B:  // KP_Next
            return ViewKey::PageDown;
        case 0xFF50:
        case 0xFF95:  // KP_Home
            return ViewKey::Home;
        case 0xFF57:
        case 0xFF9C:  // KP_End
            return ViewKey::End;
        default:
            return std::nullopt;
    }
}

std::int32_t line_step(const ReportView& view) {
    return scaled(60, view.scale);
}

std::int32_t page_step(const ReportView& view) {
    const std::int64_t v = visible_height(view);
    return v >= 42 ? clamp_i32(v - 40) : 1;
}

void open_live(ReportView& view) {
    const Instant now = view.clock();
    view.live = LiveCard{view.host ? view.host->open_live(now) : std::vector<LiveRow>{}, now};
    view.info_open = false;
}

void save_shown_report(ReportView& view) {
    if (view.host) {
        show_message(view, view.host->save_report(shown_report(view), view.stamp));
    }
}

std::string clipboard_text(const ReportView& view) {
    return render_text(title_block(view.stamp), shown_report(view));
}

ViewResponse on_key(ReportView& view, ViewKey key) {
    if (view.live) {
        if (key == ViewKey::Quit || key == ViewKey::Live || key == ViewKey::Dismiss) {
            close_live(view);
            return ViewResponse::Redraw;
        }
        return live_card_key(view, key);
    }
    if (view.info_open) {
        if (key == ViewKey::Quit || key == ViewKey::Info || key == ViewKey::Dismiss) {
            view.info_open = false;
            return ViewResponse::Redraw;
        }
        return ViewResponse::Nothing;
    }
    switch (key) {
        case ViewKey::Quit:
            return ViewResponse::Quit;
        case ViewKey::Info:
            view.info_open = true;
            return ViewResponse::Redraw;
        case ViewKey::Live:
            open_live(view);
            return ViewResponse::Redraw;
        case ViewKey::Theme:
            switch_theme(view);
            return ViewResponse::Redraw;
        case ViewKey::Save:
            save_shown_report(view);
            return ViewResponse::Redraw;
        case ViewKey::Detail:
            toggle_detail(view);
            return ViewResponse::Redraw;
        case ViewKey::Dismiss:
            return ViewResponse::Nothing;
        case ViewKey::LineUp:
            scroll_by(view, -std::int64_t{line_step(view)});
            return ViewResponse::Redraw;
        case ViewKey::LineDown:
            scroll_by(view, line_step(view));
            return ViewResponse::Redraw;
        case ViewKey::PageUp:
            scroll_by(view, -std::int64_t{page_step(view)});
            return ViewResponse::Redraw;
        case ViewKey::PageDown:
            scroll_by(view, page_step(view));
            return ViewResponse::Redraw;
        case ViewKey::Home:
            view.scroll_offset = 0;
            return ViewResponse::Redraw;
        case ViewKey::End:
            view.scroll_offset = view.content_height;
            return ViewResponse::Redraw;
        case ViewKey::Copy:
            show_message(view, "Copied to clipboard");
            return ViewResponse::Copy;
    }
    return ViewResponse::Nothing;
}

ViewResponse on_press(ReportView& view, std::int32_t x, std::int32_t y) {
    if (view.live) {
        close_live(view);
        return ViewResponse::Redraw;
    }
    if (view.info_open) {
        view.info_open = false;
        return ViewResponse::Redraw;
    }
    const ViewMetrics& m = view.metrics;
    if (y < m.header_height) {
        const auto kind = button_at(view, x, y);
        if (!kind) {
            return ViewResponse::Nothing;
        }
        switch (*kind) {
            case ButtonKind::Live:
                open_live(view);
                return ViewResponse::Redraw;
            case ButtonKind::Theme:
                switch_theme(view);
                return ViewResponse::Redraw;
            case ButtonKind::Save:
                save_shown_report(view);
                return ViewResponse::Redraw;
            case ButtonKind::Info:
                view.info_open = true;
                return ViewResponse::Redraw;
            case ButtonKind::Detail:
                toggle_detail(view);
                return ViewResponse::Redraw;
            case ButtonKind::Close:
                return ViewResponse::Quit;
            case ButtonKind::NoButton:
                return ViewResponse::Nothing;
        }
        return ViewResponse::Nothing;
    }
    const std::int64_t v = visible_height(view);
    if (std::int64_t{x} < std::int64_t{view.width} - m.scrollbar_width ||
        v >= view.content_height) {
        return ViewResponse::Nothing;
    }
    const ThumbGeometry thumb =
        thumb_geometry(v, view.content_height, view.scroll_offset, m.min_thumb);
    const std::int64_t d = std::int64_t{y} - m.header_height;
    const bool on_thumb = thumb.offset <= d && d < thumb.offset + thumb.length;
    view.drag_grab = clamp_i32(on_thumb ? d - thumb.offset : thumb.length / 2);
    view.dragging = true;
    const std::int64_t track = std::max<std::int64_t>(1, v - thumb.length);
    const std::int64_t p = d - view.drag_grab;
    view.scroll_offset =
        thumb.range < 1 || p < 0 ? 0 : clamp_i32(thumb.range * std::min(p, track) / track);
    return ViewResponse::Redraw;
}

void on_release(ReportView& view) {
    view.dragging = false;
}

ViewResponse on_motion(ReportView& view, std::int32_t x, std::int32_t y) {
    const ViewMetrics& m = view.metrics;
    if (view.dragging) {
        if (visible_height(view) >= view.content_height) {
            return ViewResponse::Nothing;
        }
        view.scroll_offset =
            scroll_for_pointer(view, std::int64_t{y} - view.drag_grab - m.header_height);
        return ViewResponse::Redraw;
    }
    if (view.info_open) {
        return ViewResponse::Nothing;
    }
    if (y >= m.header_height) {
        return clear_hover(view);
    }
    const auto kind = button_at(view, x, y);
    if (!kind) {
        return clear_hover(view);
    }
    if (*kind == view.hover) {
        return ViewResponse::Nothing;
    }
    view.hover = *kind;
    view.hover_since = view.clock();
    return ViewResponse::Redraw;
}

ViewResponse on_leave(ReportView& view) {
    return clear_hover(view);
}

ViewResponse on_other_button(ReportView& view) {
    if (!view.info_open) {
        return ViewResponse::Nothing;
    }
    view.info_open = false;
    return ViewResponse::Redraw;
}

ViewResponse on_scroll_pixels(ReportView& view, std::int32_t pixels) {
    if (view.info_open) {
        view.info_open = false;
    } else if (!(view.live && scroll_live_card(view, pixels))) {
        scroll_by(view, pixels);
    }
    return ViewResponse::Redraw;
}

ViewResponse on_wheel(ReportView& view, std::int32_t lines) {
    return on_scroll_pixels(view, clamp_i32(std::int64_t{lines} * line_step(view)));
}

std::int32_t take_scroll(ScrollAccumulator& scroll, std::int32_t line_step) {
    if (scroll.steps != 0) {
        const std::int32_t pixels = round_i32(scroll.steps * line_step / 120.0);
        scroll.steps = 0;
        scroll.pixels = 0;
        return pixels;
    }
    const std::int32_t pixels = round_i32(scroll.pixels);
    scroll.pixels -= pixels;
    return pixels;
}

void add_scroll_steps(ReportView& view, double value120) {
    view.pending_scroll.steps += value120;
}

void add_scroll_pixels(ReportView& view, double pixels) {
    view.pending_scroll.pixels += pixels;
}

ViewResponse scroll_frame(ReportView& view) {
    const std::int32_t pixels = take_scroll(view.pending_scroll, line_step(view));
    return pixels == 0 ? ViewResponse::Nothing : on_scroll_pixels(view, pixels);
}

ButtonKind tooltip_due(const ReportView& view) {
    if (view.info_open || view.live || !view.hover_since) {
        return ButtonKind::NoButton;
    }
    const Instant now = view.clock();
    if (now < *view.hover_since || now - *view.hover_since < hover_delay) {
        return ButtonKind::NoButton;
    }
    return view.hover;
}

std::optional<Instant> next_wakeup(const ReportView& view) {
    std::optional<Instant> wake;
    // The hover deadline stays until the tooltip is on screen: once passed it means "now".
    if (view.hover_since && view.hover != ButtonKind::NoButton && !view.info_open && !view.live &&
        !view.tooltip_shown) {
        wake = *view.hover_since + hover_delay;
    }
    for (const std::optional<Instant> due :
         {view.live ? std::optional(view.live->sampled_at + live_period) : std::nullopt,
          view.message_until}) {
        if (due && (!wake || *due < *wake)) {
            wake = due;
        }
    }
    return wake;
}

int poll_timeout(const ReportView& view, std::optional<Instant> other) {
    std::optional<Instant> deadline = next_wakeup(view);
    if (other && (!deadline || *other < *deadline)) {
        deadline = other;
    }
    if (!deadline) {
        return -1;
    }
    const Instant now = view.clock();
    if (*deadline <= now) {
        return 0;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - now).count();
    return static_cast<int>(std::min<std::int64_t>(left, std::numeric_limits<int>::max()));
}

bool on_timer(ReportView& view) {
    bool frame = live_tick(view);
    if (view.message_until && view.clock() >= *view.message_until) {
        view.message_until.reset();
        view.status_text = generated_text(view.stamp);
        frame = true;
    }
    return frame || (tooltip_due(view) != ButtonKind::NoButton && !view.tooltip_shown);
}

bool live_tick(ReportView& view) {
    if (!view.live) {
        return false;
    }
    const Instant now = view.clock();
    if (now < view.live->sampled_at || std::chrono::duration_cast<std::chrono::seconds>(
                                           now - view.live->sampled_at) < live_period) {
        return false;
    }
    if (view.host) {
        view.live->rows = view.host->refresh_live(now);
    }
    view.live->sampled_at = now;
    return true;
}

}  // namespace nadrel

// The report view's state: scale and metrics, theme, size, header buttons and the document
// shown.
#include "linux/gui/view/view.h"

#include <algorithm>
#include <cmath>

namespace nadrel {

namespace {

// The least of the title a narrow window keeps beside its buttons.
constexpr std::string_view shortest_title = "NADREL\u2026";

}  // namespace

float clamp_scale(float scale) {
    if (!std::isfinite(scale)) {
        return 1.0f;
    }
    return std::clamp(scale, 0.5f, 8.0f);
}

std::int32_t scaled(double k, float scale) {
    return std::max<std::int32_t>(1, round_i32(k * double{scale}));
}

ViewMetrics make_metrics(float scale) {
    ViewMetrics m;
    m.header_height = scaled(48, scale);
    m.scrollbar_width = scaled(12, scale);
    m.margin = scaled(16, scale);
    m.icon_column = scaled(32, scale);
    m.text_indent = scaled(56, scale);
    m.button_width = scaled(28, scale);
    m.button_height = scaled(28, scale);
    m.button_gap = scaled(8, scale);
    m.thumb_inset = scaled(2, scale);
    m.min_thumb = scaled(24, scale);
    m.title_size = 19 * scale;
    m.small_size = 12 * scale;
    m.heading_size = 16 * scale;
    m.body_size = 14 * scale;
    return m;
}

Instant steady_now() {
    return std::chrono::steady_clock::now();
}

ReportView make_view(Report summary, Report detailed, std::string stamp, FontSet fonts,
                     std::shared_ptr<ViewHost> host) {
    ReportView view;
    view.host = std::move(host);
    view.summary_report = std::move(summary);
    view.detailed_report = std::move(detailed);
    view.status_text = generated_text(stamp);
    view.stamp = std::move(stamp);
    view.fonts = std::move(fonts);
    return view;
}

std::string generated_text(std::string_view stamp) {
    return "Generated " + std::string(stamp);
}

void show_message(ReportView& view, std::string message) {
    view.status_text = std::move(message);
    view.message_until = view.clock() + message_period;
}

std::pair<std::int32_t, std::int32_t> min_size(const ReportView& view) {
    const ViewMetrics& m = view.metrics;
    const std::int64_t width =
        std::int64_t{text_width(*view.fonts.bold, window_title, m.title_size)} +
        5 * std::int64_t{m.button_width} + 4 * std::int64_t{m.button_gap} +
        2 * std::int64_t{m.margin} + scaled(16, view.scale);
    const std::int64_t lines =
        8 * std::int64_t{line_height_px(*view.fonts.mono, m.body_size)} + m.header_height;
    // The About card centres itself and is only cut when the window is shorter than it.
    const std::int64_t about =
        std::int64_t{about_card_height(view, clamp_i32(width))} + 2 * std::int64_t{m.margin};
    return {clamp_i32(width), clamp_i32(std::max(lines, about))};
}

void set_scale(ReportView& view, float scale) {
    const float s = clamp_scale(scale);
    if (std::fabs(s - view.scale) < 0x1p-23f) {
        return;
    }
    view.scroll_offset =
        round_i32(static_cast<double>(view.scroll_offset) * double{s} / double{view.scale});
    view.scale = s;
    view.metrics = make_metrics(s);
}

std::vector<Button> buttons(const ReportView& view, std::int32_t width) {
    const ViewMetrics& m = view.metrics;
    const std::int32_t w = m.button_width;
    const std::int32_t h = m.button_height;
    const std::int64_t step = std::int64_t{w} + m.button_gap;
    const std::int32_t y = (m.header_height - h) / 2;
    std::int64_t x = std::int64_t{width} - w - m.margin;
    std::vector<Button> list;
    list.reserve(6);
    // Close stays whatever the width (the window may have no other way to be closed); the
    // others are left out from the left when they would reach the start of the title.
    if (view.close_button) {
        list.push_back({clamp_i32(x), y, w, h, ButtonKind::Close});
        x -= step;
    }
    const std::int64_t title =
        view.fonts.bold ? text_width(*view.fonts.bold, shortest_title, m.title_size) : 0;
    const std::int64_t leftmost = std::int64_t{m.margin} + title + m.button_gap;
    const ButtonKind order[] = {ButtonKind::Info, ButtonKind::Save, ButtonKind::Theme,
                                ButtonKind::Live, ButtonKind::Detail};
    for (const ButtonKind kind : order) {
        if (x < leftmost) {
            break;
        }
        list.push_back({clamp_i32(x), y, w, h, kind});
        x -= step;
    }
    return list;
}

void resize(ReportView& view, std::int32_t width, std::int32_t height) {
    view.width = std::clamp(width, 1, max_view_side);
    view.height = std::clamp(height, 1, max_view_side);
}

void switch_theme(ReportView& view) {
    view.dark = !view.dark;
    view.theme = view.dark ? dark_theme : light_theme;
}

const Report& shown_report(const ReportView& view) {
    return view.detail ? view.detailed_report : view.summary_report;
}

std::string_view tooltip_label(const ReportView& view, ButtonKind kind) {
    switch (kind) {
        case ButtonKind::Detail:
            return "Include Diagnostic Details";
        case ButtonKind::Live:
            return "Live Readout (not saved)";
        case ButtonKind::Theme:
            return view.dark ? "Light Mode" : "Dark Mode";
        case ButtonKind::Save:
            return "Export/Save";
        case ButtonKind::Info:
            return "Info";
        case ButtonKind::Close:
            return "Close";
        case ButtonKind::NoButton:
            return "";
    }
    return "";
}

}  // namespace nadrel

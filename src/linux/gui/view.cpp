// The report view (placeholder bodies until layout, drawing and interaction land).
#include "linux/gui/view.h"

#include <cmath>

#include "core/fmt.h"

namespace nadrel {

float clamp_scale(float scale) {
    if (!std::isfinite(scale)) {
        return 1.0f;
    }
    return std::clamp(scale, 0.5f, 8.0f);
}

std::int32_t scaled(double k, float scale) {
    return std::max<std::int32_t>(1, round_i32(k * static_cast<double>(scale)));
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

ReportView make_view(Report summary, Report detailed, std::string stamp, FontSet fonts) {
    ReportView view;
    view.summary_report = std::move(summary);
    view.detailed_report = std::move(detailed);
    view.status_text = "Generated " + stamp;
    view.stamp = std::move(stamp);
    view.fonts = std::move(fonts);
    return view;
}

Canvas render(ReportView& view) {
    return Canvas::create(view.width, view.height, view.theme.background);
}
std::pair<std::int32_t, std::int32_t> min_size(const ReportView&) {
    return {400, 300};
}
void set_scale(ReportView& view, float scale) {
    view.scale = clamp_scale(scale);
    view.metrics = make_metrics(view.scale);
}
std::vector<Button> buttons(const ReportView&, std::int32_t) {
    return {};
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
std::string_view tooltip_label(const ReportView&, ButtonKind) {
    return {};
}
std::int32_t line_step(const ReportView& view) {
    return scaled(60, view.scale);
}
std::int32_t page_step(const ReportView&) {
    return 1;
}
ViewResponse on_key(ReportView&, ViewKey key) {
    return key == ViewKey::Quit ? ViewResponse::Quit : ViewResponse::Nothing;
}
ViewResponse on_press(ReportView&, std::int32_t, std::int32_t) {
    return ViewResponse::Nothing;
}
void on_release(ReportView& view) {
    view.dragging = false;
}
ViewResponse on_motion(ReportView&, std::int32_t, std::int32_t) {
    return ViewResponse::Nothing;
}
ViewResponse on_leave(ReportView&) {
    return ViewResponse::Nothing;
}
ViewResponse on_wheel(ReportView&, std::int32_t) {
    return ViewResponse::Nothing;
}
ViewResponse on_scroll_pixels(ReportView&, std::int32_t) {
    return ViewResponse::Nothing;
}
ButtonKind tooltip_due(const ReportView&) {
    return ButtonKind::NoButton;
}
std::optional<Instant> next_wakeup(const ReportView&) {
    return std::nullopt;
}
bool live_tick(ReportView&) {
    return false;
}
void open_live(ReportView&) {}
void save_shown_report(ReportView&) {}

}  // namespace nadrel

// The About card: name, maker and version centred on a card over the dimmed frame.
#include <algorithm>

#include "core/version.h"
#include "linux/gui/view/cards.h"

namespace nadrel {

namespace {

constexpr std::string_view about_text =
    "View and save your system's hardware configuration without any extra chaff; a "
    "squeaky-clean utility that does only what it needs to.";

// The card's width and wrapped text in a window of width w.
struct AboutLayout {
    std::int64_t width = 1;
    std::vector<std::string> lines;
    std::int64_t height = 1;
};

AboutLayout about_layout(const ReportView& view, std::int32_t w) {
    const float s = view.scale;
    const Font& bold = *view.fonts.bold;
    const Font& regular = *view.fonts.regular;
    AboutLayout a;
    a.width = std::max<std::int64_t>(
        1, std::max<std::int64_t>(
               std::min<std::int64_t>(std::int64_t{w} - round_i32(32.0 * s), round_i32(360.0 * s)),
               round_i32(80.0 * s)));
    const std::int32_t pad = scaled(28, s);
    a.lines = wrap_words(regular, about_text, clamp_i32(a.width - 2 * std::int64_t{pad}), 14 * s);
    a.height = 2 * std::int64_t{pad} + line_height_px(bold, 30 * s) + scaled(4, s) +
               line_height_px(regular, 13 * s) + scaled(20, s) +
               static_cast<std::int64_t>(a.lines.size()) * line_height_px(regular, 14 * s) +
               scaled(20, s) + line_height_px(bold, 15 * s) + scaled(4, s) +
               line_height_px(regular, 12 * s) + scaled(16, s) + line_height_px(regular, 11 * s);
    return a;
}

}  // namespace

std::int32_t about_card_height(const ReportView& view, std::int32_t width) {
    return clamp_i32(about_layout(view, width).height);
}

void draw_about_card(Canvas& canvas, const ReportView& view) {
    canvas.dim();
    const float s = view.scale;
    const std::int32_t w = canvas.width();
    const std::int32_t h = canvas.height();
    const Font& bold = *view.fonts.bold;
    const Font& regular = *view.fonts.regular;
    const Theme& theme = view.theme;

    const AboutLayout a = about_layout(view, w);
    const std::int64_t cw = a.width;
    const std::int64_t ch = a.height;
    const std::int32_t pad = scaled(28, s);
    const std::int32_t g4 = scaled(4, s);
    const std::int32_t g20 = scaled(20, s);
    const std::int32_t g16 = scaled(16, s);

    const std::int32_t x0 = clamp_i32((std::int64_t{w} - cw) / 2);
    const std::int32_t y0 = clamp_i32(std::max<std::int64_t>(0, (std::int64_t{h} - ch) / 2));
    canvas.fill_rect(x0, y0, clamp_i32(cw), clamp_i32(ch), theme.button);
    draw_border(canvas, x0, y0, clamp_i32(cw), clamp_i32(ch), scaled(1, s), theme.border);

    const std::int32_t cx = clamp_i32(x0 + cw / 2);
    std::int64_t y = std::int64_t{y0} + pad;
    const auto line = [&](const Font& font, Colour colour, std::string_view text, float px) {
        y += draw_centred(canvas, font, colour, cx, clamp_i32(y), text, px);
    };
    line(bold, theme.accent, "NADREL", 30 * s);
    y += g4;
    line(regular, theme.muted, "System Report", 13 * s);
    y += g20;
    for (const std::string& text : a.lines) {
        line(regular, theme.text, text, 14 * s);
    }
    y += g20;
    line(bold, theme.text, "TOVARIN WORKSHOP", 15 * s);
    y += g4;
    line(regular, theme.muted, "Clean \u00B7 Minimal \u00B7 Complete", 12 * s);
    y += g16;
    line(regular, theme.muted, "Version " + std::string(version), 11 * s);
}

}  // namespace nadrel

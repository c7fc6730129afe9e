// The live readout card drawn over the dimmed frame: title, footnote, headings, and label and
// value columns.
#include <algorithm>

#include "linux/gui/view/cards.h"

namespace nadrel {

namespace {

constexpr std::string_view footnote =
    "Shown while this card is open, refreshed every few seconds. None of it is saved or "
    "exported.";

}  // namespace

std::int32_t draw_live_card(Canvas& canvas, const ReportView& view, const LiveCard& card,
                            std::int32_t scroll) {
    canvas.dim();
    const float s = view.scale;
    const std::int64_t w = canvas.width();
    const std::int64_t h = canvas.height();
    const Font& bold = *view.fonts.bold;
    const Font& regular = *view.fonts.regular;
    const Font& mono = *view.fonts.mono;
    const Theme& theme = view.theme;
    const float body = 13 * s;

    std::int64_t label_w = 0;
    std::int64_t value_w = 0;
    for (const LiveRow& row : card.rows) {
        if (row.is_heading || row.label.empty()) {
            continue;
        }
        label_w = std::max<std::int64_t>(label_w, text_width(mono, row.label, body));
        value_w = std::max<std::int64_t>(
            value_w,
            text_width(mono, row.value == live_reading ? widest_live_rate : row.value, body));
    }
    const std::int32_t pad = scaled(24, s);
    const std::int32_t gap = scaled(12, s);
    const std::int32_t g4 = scaled(4, s);
    const std::int32_t g16 = scaled(16, s);

    const std::int64_t wanted = std::max<std::int64_t>(
        1, std::max<std::int64_t>(round_i32(360.0 * s), label_w + gap + value_w + 2 * pad));
    const std::int64_t cw = std::max<std::int64_t>(
        1, std::max<std::int64_t>(round_i32(120.0 * s), std::min(w - scaled(32, s), wanted)));
    const std::int32_t iw = clamp_i32(cw - 2 * std::int64_t{pad});

    const std::vector<std::string> notes = wrap_words(regular, footnote, iw, 11 * s);
    const std::int32_t lh_mono = line_height_px(mono, body);
    std::vector<std::vector<std::string>> paragraphs;
    std::int64_t ch = std::int64_t{line_height_px(bold, 17 * s)} + g4 +
                      static_cast<std::int64_t>(notes.size()) * line_height_px(regular, 11 * s) +
                      2 * std::int64_t{pad};
    // Notes that follow each other are set apart, so they do not read as one.
    const std::int32_t note_gap = scaled(8, s);
    bool after_note = false;
    for (const LiveRow& row : card.rows) {
        const bool note = !row.is_heading && row.label.empty();
        if (row.is_heading) {
            ch += std::int64_t{line_height_px(bold, 12 * s)} + g16 + g4;
        } else if (!note) {
            ch += lh_mono;
        } else {
            paragraphs.push_back(wrap_words(mono, row.value, iw, body));
            ch += static_cast<std::int64_t>(paragraphs.back().size()) * lh_mono +
                  (after_note ? note_gap : 0);
        }
        after_note = note;
    }
    // A card taller than the window fills its height and scrolls inside it.
    const std::int64_t overflow = std::max<std::int64_t>(0, ch - h);
    const std::int64_t shift = std::clamp<std::int64_t>(scroll, 0, overflow);
    ch = std::min(h, ch);

    const std::int32_t x0 = clamp_i32((w - cw) / 2);
    const std::int32_t y0 = clamp_i32(std::max<std::int64_t>(0, (h - ch) / 2));
    canvas.fill_rect(x0, y0, clamp_i32(cw), clamp_i32(ch), theme.button);

    const std::int32_t text_x = clamp_i32(std::int64_t{x0} + pad);
    const std::int64_t right = std::int64_t{x0} + cw - pad;
    std::int64_t y = std::int64_t{y0} + pad - shift;
    draw_text(canvas, bold, theme.text, text_x, clamp_i32(y + ascent_px(bold, 17 * s)),
              "LIVE READOUT", 17 * s);
    y += std::int64_t{line_height_px(bold, 17 * s)} + g4;
    for (const std::string& line : notes) {
        draw_text(canvas, regular, theme.muted, text_x, clamp_i32(y + ascent_px(regular, 11 * s)),
                  line, 11 * s);
        y += line_height_px(regular, 11 * s);
    }

    const std::int32_t a_mono = ascent_px(mono, body);
    // A label wider than half the card (a hostile sensor label) is cut, so it cannot push
    // every value off the card.
    const std::int64_t label_col = std::min<std::int64_t>(label_w, iw / 2);
    const std::int64_t value_x = std::int64_t{text_x} + label_col + gap;
    std::size_t paragraph = 0;
    after_note = false;
    for (const LiveRow& row : card.rows) {
        const bool note = !row.is_heading && row.label.empty();
        if (row.is_heading) {
            draw_text(canvas, bold, theme.accent, text_x,
                      clamp_i32(y + g16 + ascent_px(bold, 12 * s)), row.label, 12 * s);
            y += std::int64_t{g16} + g4 + line_height_px(bold, 12 * s);
        } else if (!row.label.empty()) {
            draw_grid_text(canvas, mono, theme.muted, text_x, clamp_i32(y + a_mono),
                           truncate_to_width(mono, row.label, clamp_i32(label_col), body), body);
            const std::string value =
                truncate_to_width(mono, row.value, clamp_i32(right - value_x), body);
            draw_grid_text(canvas, mono, theme.text, clamp_i32(value_x), clamp_i32(y + a_mono),
                           value, body);
            y += lh_mono;
        } else {
            y += after_note ? note_gap : 0;
            for (const std::string& line : paragraphs[paragraph]) {
                draw_grid_text(canvas, mono, theme.muted, text_x, clamp_i32(y + a_mono), line,
                               body);
                y += lh_mono;
            }
            ++paragraph;
        }
        after_note = note;
    }
    if (overflow > 0) {
        // Text scrolled into the padding is covered again, so it ends at the card's inner edge.
        canvas.fill_rect(x0, y0, clamp_i32(cw), pad, theme.button);
        canvas.fill_rect(x0, clamp_i32(std::int64_t{y0} + ch - pad), clamp_i32(cw), pad,
                         theme.button);
    }
    draw_border(canvas, x0, y0, clamp_i32(cw), clamp_i32(ch), scaled(1, s), theme.border);
    return clamp_i32(overflow);
}

}  // namespace nadrel

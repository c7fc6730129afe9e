// Drawing of the report view: pixels that say something (backgrounds, separator, thumb,
// icon holes, tooltip, cards, a narrow header), frames from hostile sizes, scales and
// documents, and the contrast of the theme colours.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/view/fixture.h"
#include "linux/gui/draw/icons.h"

namespace nadrel {
namespace {

using test::field_section;
using test::ViewTest;

// The dark page under a card.
const Colour dimmed = blend_pixel(dark_theme.background, 0, 120);

TEST_F(ViewTest, StatusLineIsCutBeforeTheFirstButton) {
    const Canvas plain = render(view);
    view.status_text = "Saved to /home/" + std::string(200, 'd') + "/box1-nadrel.txt";
    const Canvas long_status = render(view);
    // The Detail button starts at x = 572; the status line ends at least 8 pixels before it.
    int drawn_near_end = 0;
    for (int y = 28; y < 46; ++y) {
        for (int x = 564; x < 572; ++x) {
            EXPECT_EQ(long_status.pixel(x, y), dark_theme.background) << x << "," << y;
        }
        for (int x = 500; x < 564; ++x) {
            drawn_near_end += long_status.pixel(x, y) != plain.pixel(x, y);
        }
    }
    EXPECT_GT(drawn_near_end, 20);  // the text and its "…" reach the end of the room
}

TEST_F(ViewTest, ANarrowHeaderLeavesButtonsOutAndShortensTheTitle) {
    struct Case {
        std::int32_t width;
        bool close;
        std::size_t buttons;
    };
    // The title keeps at least "NADREL…" (106 pixels at scale 1), so buttons start at x 130
    // or later; Close always stays.
    for (const Case& c : {Case{760, false, 5}, Case{340, false, 5}, Case{300, false, 4},
                          Case{200, false, 1}, Case{200, true, 1}, Case{50, true, 1}}) {
        view.close_button = c.close;
        resize(view, c.width, 150);
        const auto list = buttons(view, c.width);
        EXPECT_EQ(list.size(), c.buttons) << c.width;
        EXPECT_EQ(list[0].kind, c.close ? ButtonKind::Close : ButtonKind::Info);
        const Canvas canvas = render(view);
        // Every button face is whole, and nothing of the title comes within the gap before it.
        for (const Button& b : list) {
            EXPECT_EQ(canvas.pixel(b.x, b.y), dark_theme.button) << c.width;
            EXPECT_EQ(canvas.pixel(b.x + b.w - 1, b.y + b.h - 1), dark_theme.button) << c.width;
        }
        for (std::int32_t y = 0; y < 47; ++y) {
            for (std::int32_t x = std::max(0, list.back().x - 8); x < list.back().x; ++x) {
                ASSERT_EQ(canvas.pixel(x, y), dark_theme.background) << c.width << ": " << x;
            }
        }
    }
}

TEST_F(ViewTest, BackgroundsAndHeaderSeparator) {
    Canvas dark = render(view);
    EXPECT_EQ(dark.width(), 760);
    EXPECT_EQ(dark.height(), 680);
    EXPECT_EQ(dark.pixel(5, 600), dark_theme.background);
    EXPECT_EQ(dark.pixel(400, 47), dark_theme.muted);  // the separator: the header's last row
    EXPECT_EQ(dark.pixel(400, 46), dark_theme.background);
    EXPECT_EQ(dark.pixel(400, 48), dark_theme.background);
    EXPECT_EQ(dark.pixel(572, 10), dark_theme.button);  // Detail button face, top-left corner
    switch_theme(view);
    Canvas light = render(view);
    EXPECT_EQ(light.pixel(5, 600), light_theme.background);
    EXPECT_EQ(light.pixel(400, 47), light_theme.muted);
    EXPECT_EQ(light.pixel(572, 10), light_theme.button);
    view.hover = ButtonKind::Detail;
    EXPECT_EQ(render(view).pixel(572, 10), light_theme.button_hover);
    // Every pixel keeps its top byte clear.
    for (const std::uint32_t p : light.pixels()) {
        ASSERT_EQ(p >> 24, 0u);
    }
    set_scale(view, 2);
    resize(view, 1520, 1360);
    const Canvas big = render(view);
    EXPECT_EQ(big.pixel(400, 93), light_theme.background);
    EXPECT_EQ(big.pixel(400, 94), light_theme.muted);  // two rows of separator at scale 2
    EXPECT_EQ(big.pixel(400, 95), light_theme.muted);
}

TEST_F(ViewTest, ThumbRectangle) {
    view.detail = true;  // 1764 high in a 632-pixel view: T = 632^2 / 1764 = 226
    const Colour thumb = dark_theme.thumb;
    Canvas top = render(view);
    EXPECT_EQ(top.pixel(750, 50), thumb);
    EXPECT_EQ(top.pixel(757, 271), thumb);
    EXPECT_NE(top.pixel(749, 50), thumb);
    EXPECT_NE(top.pixel(758, 50), thumb);
    EXPECT_NE(top.pixel(750, 49), thumb);
    EXPECT_NE(top.pixel(750, 272), thumb);
    // At the end: O = 1132 x (632 - 226) / (1764 - 632) = 406.
    view.scroll_offset = 1132;
    Canvas end = render(view);
    EXPECT_EQ(end.pixel(750, 48 + 406 + 2), thumb);
    EXPECT_NE(end.pixel(750, 48 + 406 + 1), thumb);
    EXPECT_EQ(end.pixel(750, 48 + 406 + 226 - 3), thumb);
    EXPECT_NE(end.pixel(750, 48 + 406 + 226 - 2), thumb);
    // A document that fits has no thumb.
    view.detail = false;
    Canvas short_doc = render(view);
    for (std::int32_t y = 48; y < 680; ++y) {
        ASSERT_NE(short_doc.pixel(752, y), thumb);
    }
}

TEST_F(ViewTest, GpuIconHolesShowTheBackground) {
    view.summary_report.sections = {field_section(SectionKind::Gpu, "GPU", 1)};
    const Canvas canvas = render(view);
    // Icon at left 20, top 16 + 48 = 64; 24 px at scale 1, so grid units are pixels.
    const Colour green = 0xC4E6C8;
    EXPECT_EQ(canvas.pixel(20 + 12, 64 + 8), green);                   // diamond tip 12,8,4,1
    EXPECT_EQ(canvas.pixel(20 + 10, 64 + 11), green);                  // left edge of 10,11,8,2
    EXPECT_EQ(canvas.pixel(20 + 11, 64 + 11), dark_theme.background);  // hole 11,11,6,2
    EXPECT_EQ(canvas.pixel(20 + 16, 64 + 12), dark_theme.background);
    EXPECT_EQ(canvas.pixel(20 + 17, 64 + 12), green);
    EXPECT_EQ(canvas.pixel(20 + 13, 64 + 9), dark_theme.background);  // hole 12,9,4,2
    EXPECT_EQ(canvas.pixel(20 + 2, 64 + 3), green);                   // the bracket 2,3,2,18
    switch_theme(view);
    const Canvas light = render(view);
    EXPECT_EQ(light.pixel(20 + 10, 64 + 11), 0x387646u);
    EXPECT_EQ(light.pixel(20 + 11, 64 + 11), light_theme.background);
}

TEST_F(ViewTest, ThemeTooltipNamesTheOtherTheme) {
    EXPECT_EQ(tooltip_label(view, ButtonKind::Theme), "Light Mode");
    switch_theme(view);
    EXPECT_EQ(tooltip_label(view, ButtonKind::Theme), "Dark Mode");
    switch_theme(view);

    view.hover = ButtonKind::Theme;
    view.hover_since = now - std::chrono::milliseconds(500);
    const Canvas canvas = render(view);
    // Right edge at the button's (644 + 28), top 10 + 28 + 3 = 41, 2 x 6 + 12 = 24 high.
    const std::int32_t bw = text_width(*view.fonts.regular, "Light Mode", 12) + 12;
    const std::int32_t x = 672 - bw;
    EXPECT_EQ(canvas.pixel(x, 41), dark_theme.border);  // border
    EXPECT_EQ(canvas.pixel(x + 2, 43), dark_theme.button);
    EXPECT_EQ(canvas.pixel(671, 64), dark_theme.border);
    EXPECT_NE(canvas.pixel(x - 1, 43), dark_theme.button);
    EXPECT_NE(canvas.pixel(x + 2, 65), dark_theme.button);
}

TEST_F(ViewTest, AboutCardOverTheDimmedFrame) {
    view.info_open = true;
    const Canvas canvas = render(view);
    EXPECT_EQ(canvas.pixel(5, 600), dimmed);
    // 360 wide, centred: x 200 ... 559, with its border and its face in the button colour.
    EXPECT_EQ(canvas.pixel(200, 340), dark_theme.border);
    EXPECT_EQ(canvas.pixel(559, 340), dark_theme.border);
    EXPECT_EQ(canvas.pixel(202, 340), dark_theme.button);
    EXPECT_EQ(canvas.pixel(199, 340), dimmed);
}

TEST_F(ViewTest, ButtonImagesAreDrawnInTheTextColour) {
    const Canvas canvas = render(view);
    // Info at 716, 10: image at 720, 14. Its circle is opaque at grid (1, 9).
    const AlphaImage& info = button_image(ButtonImage::InfoCircle);
    ASSERT_EQ(info[(9 * 20 + 1) * 4 + 3], 255);
    EXPECT_EQ(canvas.pixel(720 + 1, 14 + 9), dark_theme.text);
    EXPECT_EQ(canvas.pixel(720, 14), dark_theme.button);
    // The Detail box is empty, then ticked.
    const AlphaImage& box = button_image(ButtonImage::EmptyBox);
    const AlphaImage& ticked = button_image(ButtonImage::TickedBox);
    ASSERT_EQ(box[(10 * 20 + 9) * 4 + 3], 0);
    ASSERT_NE(ticked[(10 * 20 + 9) * 4 + 3], 0);
    EXPECT_EQ(canvas.pixel(576 + 9, 14 + 10), dark_theme.button);
    view.detail = true;
    EXPECT_NE(render(view).pixel(576 + 9, 14 + 10), dark_theme.button);
}

TEST_F(ViewTest, HostileSizesScalesAndDocumentsRender) {
    Report hostile;
    ReportSection section;
    section.title = std::string(300, 'T');
    section.kind = SectionKind::Battery;
    section.rows.push_back({RowKind::Field, "Long", std::string(5000, 'x')});
    section.rows.push_back({RowKind::Raw, std::string(5000, ' '), ""});
    section.rows.push_back({RowKind::Bullet, "\U000F0000\U0010FFFF\xff\xfe \u4e2d\u6587", ""});
    section.rows.push_back({RowKind::SubField, "", ""});
    hostile.sections.push_back(section);
    hostile.sections.push_back({});
    view.summary_report = hostile;
    view.detailed_report = Report{};
    view.status_text = std::string(2000, 'S');

    const std::pair<std::int32_t, std::int32_t> sizes[] = {{1, 1},      {2, 700}, {16384, 64},
                                                           {64, 16384}, {47, 48}, {760, 49}};
    const float scales[] = {1.0f, NAN, INFINITY, 0.0f, 100.0f, 0.5f};
    for (const auto& [w, h] : sizes) {
        for (const float s : scales) {
            set_scale(view, s);
            resize(view, w, h);
            view.scroll_offset = 1 << 30;
            view.hover = ButtonKind::Save;
            view.hover_since = now - std::chrono::seconds(1);
            for (const bool detail : {false, true}) {
                view.detail = detail;
                view.info_open = detail;
                const Canvas canvas = render(view);
                ASSERT_EQ(canvas.width(), w);
                ASSERT_EQ(canvas.height(), h);
                ASSERT_GE(view.scroll_offset, 0);
            }
        }
    }
    resize(view, 0, -5);
    EXPECT_EQ(view.width, 1);
    EXPECT_EQ(view.height, 1);
    resize(view, 100000, 20000);
    EXPECT_EQ(view.width, 16384);
}

TEST_F(ViewTest, LiveCardWidthAndAHostileLabel) {
    LiveCard card;
    card.rows = {{true, "RIGHT NOW", ""}, {false, "CPU load", "Reading\u2026"}};
    view.live = card;
    const Font& mono = *view.fonts.mono;
    // "Reading…" is measured as the widest traffic value.
    const std::int32_t wanted =
        text_width(mono, "CPU load", 13) + 12 + text_width(mono, widest_live_rate, 13) + 48;
    const std::int32_t cw = std::max(360, wanted);
    Canvas canvas = render(view);
    const std::int32_t x0 = (760 - cw) / 2;
    EXPECT_EQ(canvas.pixel(x0, 340), dark_theme.border);
    EXPECT_EQ(canvas.pixel(x0 + cw - 1, 340), dark_theme.border);
    EXPECT_EQ(canvas.pixel(x0 - 1, 340), dimmed);

    // A 10 000-character label widens the card to the window and is cut inside it.
    view.live->rows.push_back({false, std::string(10000, 'L'), "42 C"});
    canvas = render(view);
    EXPECT_EQ(canvas.pixel(16, 340), dark_theme.border);  // 760 - 32 wide, from x 16
    EXPECT_EQ(canvas.pixel(743, 340), dark_theme.border);
    for (std::int32_t y = 48; y < 680; ++y) {  // below the header
        for (std::int32_t x = 744; x < 760; ++x) {
            ASSERT_EQ(canvas.pixel(x, y) & 0xFF, canvas.pixel(759, 679) & 0xFF) << x << "," << y;
        }
    }
}

TEST_F(ViewTest, LiveCardNotesAreSetApart) {
    // The card's height is the run of its left border; 360 wide, it starts at x 200.
    const auto card_height = [&](std::vector<LiveRow> rows) {
        view.live = LiveCard{std::move(rows), now};
        const Canvas canvas = render(view);
        int height = 0;
        for (std::int32_t y = 0; y < canvas.height(); ++y) {
            height += canvas.pixel(200, y) == dark_theme.border;
        }
        return height;
    };
    const LiveRow heading{true, "NOT AVAILABLE HERE", ""};
    const int one = card_height({heading, {false, "", "First note."}});
    const int two = card_height({heading, {false, "", "First note."}, {false, "", "Second."}});
    EXPECT_EQ(two - one, line_height_px(*view.fonts.mono, 13) + 8);
}

// Contrast by the WCAG 2 formula: text below 14 px reads at 4.5:1 on the faces it is drawn
// on, borders and the hovered button face stand 3:1 apart from what they adjoin.
double luminance(Colour c) {
    const auto channel = [](Colour v) {
        const double s = static_cast<double>(v & 0xFF) / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c >> 16) + 0.7152 * channel(c >> 8) + 0.0722 * channel(c);
}

double contrast(Colour a, Colour b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(Theme, ContrastInBothThemes) {
    EXPECT_NEAR(contrast(0x808080, 0xFFFFFF), 3.95, 0.01);  // the formula, on a known pair
    for (const Theme& t : {dark_theme, light_theme}) {
        const Colour under_card = blend_pixel(t.background, 0, 120);
        const struct {
            Colour a, b;
            double least;
            const char* what;
        } pairs[] = {
            {t.muted, t.background, 4.5, "status line"},
            {t.muted, t.button, 4.5, "secondary text on a card"},
            {t.text, t.button, 4.5, "card and tooltip text"},
            {t.accent, t.button, 4.5, "live-card headings"},
            {t.text, t.background, 4.5, "report text"},
            {t.button_hover, t.button, 3, "hovered button beside a normal one"},
            {t.button_hover, t.background, 3, "hovered button on the header"},
            {t.text, t.button_hover, 3, "icon on a hovered button"},
            {t.border, under_card, 3, "card border on the dimmed page"},
            {t.border, t.background, 3, "tooltip border on the page"},
        };
        for (const auto& p : pairs) {
            EXPECT_GE(contrast(p.a, p.b), p.least) << std::hex << t.background << ": " << p.what;
        }
    }
}

}  // namespace
}  // namespace nadrel

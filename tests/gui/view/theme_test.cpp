// Contrast of the theme colours by the WCAG 2 formula: text below 14 px reads at 4.5:1 on the
// faces it is drawn on, borders and the hovered button face stand 3:1 apart from what they adjoin.
#include <gtest/gtest.h>

#include <cmath>

#include "linux/gui/view/view.h"

namespace nadrel {
namespace {

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
        const Colour dimmed = blend_pixel(t.background, 0, 120);  // the page under a card
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
            {t.border, dimmed, 3, "card border on the dimmed page"},
            {t.border, t.background, 3, "tooltip border on the page"},
        };
        for (const auto& p : pairs) {
            EXPECT_GE(contrast(p.a, p.b), p.least) << std::hex << t.background << ": " << p.what;
        }
    }
}

}  // namespace
}  // namespace nadrel

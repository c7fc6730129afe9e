// Fonts and text with the DejaVu files the program loads: metrics, caching, wrapping, drawing.
#include "linux/gui/draw/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "linux/gui/machine_host.h"

namespace nadrel {
namespace {

class Text : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(mono_font_paths[0]) ||
            !std::filesystem::exists(regular_font_paths[0])) {
            GTEST_SKIP() << "fonts-dejavu-core is not installed";
        }
        mono = load_font(mono_font_paths, font_file_reader());
        regular = load_font(regular_font_paths, font_file_reader());
        ASSERT_TRUE(mono && regular);
    }
    std::shared_ptr<Font> mono;
    std::shared_ptr<Font> regular;
};

TEST_F(Text, LineMetricsComeFromTheHorizontalHeader) {
    // DejaVu Sans Mono: 2048 units per em, ascender 1901, descender -483, no line gap.
    EXPECT_EQ(ascent_px(*mono, 14), 13);       // ceil(12.995)
    EXPECT_EQ(line_height_px(*mono, 14), 17);  // ceil(16.297)
    EXPECT_EQ(ascent_px(*mono, 28), 26);
    EXPECT_EQ(line_height_px(*mono, 28), 33);
    // The monospaced cell: 1233 units, 8.43 px at 14 px.
    EXPECT_EQ(text_width(*mono, "0", 14), 8);
    EXPECT_EQ(text_width(*mono, "0123456789", 14), 80);
}

TEST_F(Text, LoadFontSkipsUnusablePathsInOrder) {
    const std::vector<std::string> paths = {"/nonexistent/font.ttf", "/etc/hostname",
                                            "/proc/self/status", mono_font_paths[0]};
    const auto font = load_font(paths, font_file_reader());
    ASSERT_TRUE(font);
    EXPECT_EQ(text_width(*font, "0", 14), 8);
    EXPECT_EQ(load_font(std::vector<std::string>{"/dev/null", "/"}, font_file_reader()), nullptr);
}

TEST_F(Text, FontSetFallsBackToTheSameMonoObject) {
    const auto set = load_font_set(font_file_reader());
    ASSERT_TRUE(set);
    EXPECT_NE(set->mono, set->bold);
    EXPECT_NE(set->mono, set->regular);
}

TEST_F(Text, GlyphsAreCachedPerCharacterAndSize) {
    Canvas canvas = Canvas::create(100, 40, 0);
    const std::size_t before = cached_glyph_count(*mono);
    draw_text(canvas, *mono, 0xFFFFFF, 2, 30, "A", 14);
    EXPECT_EQ(cached_glyph_count(*mono), before + 1);
    draw_text(canvas, *mono, 0xFFFFFF, 2, 30, "A", 14);
    EXPECT_EQ(cached_glyph_count(*mono), before + 1);
    draw_text(canvas, *mono, 0xFFFFFF, 2, 30, "A", 28);
    EXPECT_EQ(cached_glyph_count(*mono), before + 2);
    // Spaces are never rasterised, and measuring does not fill the cache.
    draw_text(canvas, *mono, 0xFFFFFF, 2, 30, "   ", 14);
    text_width(*mono, "xyz", 14);
    EXPECT_EQ(cached_glyph_count(*mono), before + 2);
}

TEST_F(Text, EmptyStringMeasuresZeroAndDrawsNothing) {
    Canvas canvas = Canvas::create(50, 30, 0x123456);
    EXPECT_EQ(text_width(*mono, "", 14), 0);
    EXPECT_FLOAT_EQ(draw_text(canvas, *mono, 0xFFFFFF, 7, 20, "", 14), 7.0f);
    for (const std::uint32_t p : canvas.pixels()) {
        ASSERT_EQ(p, 0x123456u);
    }
}

TEST_F(Text, DrawingAdvancesUnroundedExceptForSpaces) {
    Canvas canvas = Canvas::create(200, 40, 0);
    const float end = draw_text(canvas, *mono, 0xFFFFFF, 10, 30, "00", 14);
    EXPECT_NEAR(end, 10 + 2 * 8.4287f, 0.01f);
    const float spaced = draw_text(canvas, *mono, 0xFFFFFF, 10, 30, "0 0", 14);
    EXPECT_NEAR(spaced, 10 + 2 * 8.4287f + 8, 0.01f);
}

TEST_F(Text, GridTextEndsWhereItMeasures) {
    // 84 characters of the body font: a fractional pen would end 36 pixels further right.
    const std::string line(84, '0');
    Canvas canvas = Canvas::create(800, 40, 0);
    EXPECT_EQ(draw_grid_text(canvas, *mono, 0xFFFFFF, 10, 30, line, 14),
              10.0f + static_cast<float>(text_width(*mono, line, 14)));
    // The last glyph's ink stays inside its measured cell.
    for (int y = 0; y < 40; ++y) {
        EXPECT_EQ(canvas.pixel(10 + 84 * 8, y), 0u) << y;
    }
}

TEST_F(Text, GlyphsAtTheEdgeAreClippedNotShifted) {
    Canvas canvas = Canvas::create(6, 6, 0);
    draw_text(canvas, *mono, 0xFFFFFF, -4, 8, "M", 14);
    Canvas wide = Canvas::create(20, 20, 0);
    draw_text(wide, *mono, 0xFFFFFF, 0, 14, "M", 14);
    // Column c of the clipped canvas is column c + 4 of the unclipped one, row r is row r + 6.
    for (std::int32_t y = 0; y < 6; ++y) {
        for (std::int32_t x = 0; x < 6; ++x) {
            ASSERT_EQ(canvas.pixel(x, y), wide.pixel(x + 4, y + 6)) << x << "," << y;
        }
    }
}

TEST_F(Text, CentringPutsTheOddPixelOnTheRight) {
    // "0" in mono at 15 px is 9 px wide: centred on 11 it starts at 11 - 4 = 7 (not 6).
    ASSERT_EQ(text_width(*mono, "0", 15), 9);
    Canvas a = Canvas::create(40, 30, 0);
    Canvas b = Canvas::create(40, 30, 0);
    EXPECT_EQ(draw_centred(a, *mono, 0xFFFFFF, 11, 0, "0", 15), line_height_px(*mono, 15));
    draw_text(b, *mono, 0xFFFFFF, 7, ascent_px(*mono, 15), "0", 15);
    EXPECT_TRUE(std::equal(a.pixels().begin(), a.pixels().end(), b.pixels().begin()));
}

TEST_F(Text, WrapWordsGreedyAtSingleSpaces) {
    const std::int32_t cell = text_width(*mono, "0", 14);  // 8: space and letters alike
    struct Case {
        std::string text;
        std::int32_t width;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"a  b", 100, {"a  b"}},                   // the empty word keeps both spaces
        {"a  b", 3 * cell, {"a ", "b"}},           // "a" + " " + "" fits, "b" does not
        {"abcdefghij", 3 * cell, {"abcdefghij"}},  // a long word stays whole
        {"ab cd ef", 5 * cell, {"ab cd", "ef"}},
        {"   ", 100, {}},
        {"", 100, {}},
        {"ab  cd", 2 * cell, {"ab", "cd"}},  // the empty word starting a line is dropped
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wrap_words(*mono, c.text, c.width, 14), c.lines) << c.text << " " << c.width;
    }
}

TEST_F(Text, TruncateAppendsAnEllipsisOnlyWhenNeeded) {
    const std::int32_t cell = text_width(*mono, "0", 14);
    EXPECT_EQ(truncate_to_width(*mono, "abcdef", 6 * cell, 14), "abcdef");
    EXPECT_EQ(truncate_to_width(*mono, "abcdef", 5 * cell, 14), "abcd\u2026");
    EXPECT_EQ(truncate_to_width(*mono, "abcdef", 0, 14), "\u2026");
    EXPECT_EQ(truncate_to_width(*mono, "", 0, 14), "");
}

TEST_F(Text, MiddleCutKeepsTheStartAndTheEnd) {
    // Every mono character, "…" included, is 8 pixels at 14 px: 240 pixels hold 30 cells.
    const std::string path = "Saved to /home/" + std::string(40, 'd') + "/box1-nadrel.txt";
    EXPECT_EQ(truncate_middle(*mono, path, 240, 14), "Saved to /home\u2026box1-nadrel.txt");
    EXPECT_EQ(truncate_middle(*mono, "fits", 32, 14), "fits");
    EXPECT_EQ(truncate_middle(*mono, "abcdef", 8, 14), "\u2026");
}

TEST_F(Text, MissingCharactersAndBadSizesDoNotCrash) {
    Canvas canvas = Canvas::create(64, 64, 0);
    // A private-use character the font lacks is drawn as glyph 0 (the missing-glyph box).
    const float end = draw_text(canvas, *mono, 0xFFFFFF, 0, 40, "\U000F0000", 14);
    EXPECT_GT(end, 0.0f);
    bool drawn = false;
    for (const std::uint32_t p : canvas.pixels()) {
        drawn = drawn || p != 0;
    }
    EXPECT_TRUE(drawn);
    for (const float px : {0.0f, -3.0f, std::nanf(""), 1e30f}) {
        EXPECT_EQ(text_width(*mono, "abc", px), 0);
        EXPECT_EQ(draw_text(canvas, *mono, 0xFFFFFF, 5, 40, "abc", px), 5.0f);
    }
    // Invalid UTF-8 is drawn as U+FFFD, one replacement per bad byte.
    draw_text(canvas, *mono, 0xFFFFFF, 0, 40, "\xff\xfe", 14);
}

}  // namespace
}  // namespace nadrel

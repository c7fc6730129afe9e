// Layout of the report view: metrics, buttons, content height, line cutting and scrolling.
#include "linux/gui/view/layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gui/view/fixture.h"

namespace nadrel {
namespace {

using test::field_section;
using test::ViewTest;

// The integer metrics, in declaration order.
std::vector<std::int32_t> integer_metrics(const ViewMetrics& m) {
    return {m.header_height, m.scrollbar_width, m.margin,     m.icon_column, m.text_indent,
            m.button_width,  m.button_height,   m.button_gap, m.thumb_inset, m.min_thumb};
}

TEST(ViewMetrics, ScaleIsClampedAndSizesRoundHalvesAwayFromZero) {
    const std::pair<float, float> clamps[] = {{0.3f, 0.5f},      {0.0f, 0.5f},  {-2.0f, 0.5f},
                                              {100.0f, 8.0f},    {NAN, 1.0f},   {INFINITY, 1.0f},
                                              {-INFINITY, 1.0f}, {1.25f, 1.25f}};
    for (const auto& [in, out] : clamps) {
        EXPECT_EQ(clamp_scale(in), out) << in;
    }
    // max(1, round(k x scale)): 2 x 1.25 = 2.5 gives 3, 1 x 0.5 gives 1, never 0; saturating.
    const std::tuple<double, float, std::int32_t> sizes[] = {
        {2, 1.25f, 3}, {12, 0.5f, 6}, {1, 0.5f, 1}, {0.4, 1.0f, 1}, {1e12, 8.0f, INT32_MAX}};
    for (const auto& [k, scale, size] : sizes) {
        EXPECT_EQ(scaled(k, scale), size) << k << " x " << scale;
    }
    // The view starts with the metrics of scale 1, and every metric follows the scale.
    const std::vector<std::int32_t> one = integer_metrics(make_metrics(1));
    EXPECT_EQ(one, integer_metrics(ViewMetrics{}));
    std::vector<std::int32_t> doubled;
    for (const std::int32_t v : one) {
        doubled.push_back(2 * v);
    }
    EXPECT_EQ(integer_metrics(make_metrics(2)), doubled);
    EXPECT_EQ(make_metrics(2).body_size, 28.0f);
    EXPECT_EQ(make_metrics(2).title_size, 38.0f);
}

TEST_F(ViewTest, ButtonsRightToLeft) {
    const auto list = buttons(view, 760);
    ASSERT_EQ(list.size(), 5u);
    const std::pair<int, ButtonKind> expected[] = {{716, ButtonKind::Info},
                                                   {680, ButtonKind::Save},
                                                   {644, ButtonKind::Theme},
                                                   {608, ButtonKind::Live},
                                                   {572, ButtonKind::Detail}};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(list[i].x, expected[i].first);
        EXPECT_EQ(list[i].kind, expected[i].second);
        EXPECT_EQ(list[i].y, 10);
        EXPECT_EQ(list[i].w, 28);
        EXPECT_EQ(list[i].h, 28);
    }
    view.close_button = true;
    const auto with_close = buttons(view, 760);
    ASSERT_EQ(with_close.size(), 6u);
    EXPECT_EQ(with_close[0].kind, ButtonKind::Close);
    EXPECT_EQ(with_close[0].x, 716);
    EXPECT_EQ(with_close[1].x, 680);
    EXPECT_EQ(with_close[5].x, 536);
    set_scale(view, 2);
    EXPECT_EQ(buttons(view, 1520)[0].x, 1520 - 56 - 32);
    EXPECT_EQ(buttons(view, 1520)[0].y, 20);
}

TEST_F(ViewTest, ContentHeightOfKnownDocuments) {
    // Scale 1: mono 14 px lines are 17 high; bold 16 px titles 19, under the 24 px icon row.
    const ContentGeometry g = content_geometry(view, 760);
    EXPECT_EQ(g.line_height, 17);
    EXPECT_EQ(g.row_height, 24);
    EXPECT_EQ(g.cell_width, 8);
    EXPECT_EQ(g.chars_per_line, (760 - 56 - 16 - 12) / 8);

    Report empty;
    EXPECT_EQ(measure_content(empty, g), 8 + 16);
    Report one;
    one.sections.push_back(field_section(SectionKind::Cpu, "CPU", 3));
    EXPECT_EQ(measure_content(one, g), 8 + 8 + 8 + 24 + 3 * 17 + 16);
    Report two = one;
    two.sections.push_back(field_section(SectionKind::Memory, "RAM", 2));
    EXPECT_EQ(measure_content(two, g), 8 + 8 + 32 + 3 * 17 + (16 + 17) + 32 + 2 * 17 + 16);

    render(view);
    EXPECT_EQ(view.content_height, 64 + 4 * 17);
}

TEST(ViewLines, FieldContinuationsStartUnderTheValue) {
    const ReportRow row{RowKind::Field, "Flags", "aaa bbb ccc ddd eee fff ggg hhh"};
    const std::string indent(20, ' ');
    const std::vector<std::string> expected = {"Flags             : aaa bbb", indent + "ccc ddd",
                                               indent + "eee fff", indent + "ggg hhh"};
    EXPECT_EQ(cut_row(row, 30), expected);
    // A line that fits is one line, without its two leading spaces.
    EXPECT_EQ(cut_row(row, 51), std::vector<std::string>{"Flags             : aaa bbb ccc "
                                                         "ddd eee fff ggg hhh"});
}

TEST(ViewLines, LongLabelsKeepTheColonColumnAndLongValuesTheirLabel) {
    const std::string indent(20, ' ');
    const std::pair<ReportRow, std::vector<std::string>> cases[] = {
        // A label longer than its column: a line of its own, the value under the value column.
        {{RowKind::Field, "P0 CHANNEL A / DIMM 1", "32GB"},
         {"P0 CHANNEL A / DIMM 1", std::string(18, ' ') + ": 32GB"}},
        {{RowKind::SubField, "Seventeen letters", "1"},
         {"\u2502 Seventeen letters", "\u2502" + std::string(17, ' ') + ": 1"}},
        {{RowKind::Field, "Eighteen letters!!", "1"}, {"Eighteen letters!!: 1"}},
        // A value without spaces fills the first line instead of leaving its label alone.
        {{RowKind::Field, "Flags", std::string(30, 'x')},
         {"Flags             : " + std::string(10, 'x'), indent + std::string(10, 'x'),
          indent + std::string(10, 'x')}},
    };
    for (const auto& [row, lines] : cases) {
        EXPECT_EQ(cut_row(row, 30), lines) << row.text;
    }
}

TEST(ViewLines, CutsCountCharactersAndLongWordsAreCutHard) {
    std::string word;
    for (int i = 0; i < 45; ++i) {
        word += "\u00e9";  // two bytes each
    }
    const auto pieces = cut_row({RowKind::Raw, word, ""}, 20);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], word.substr(0, 40));
    EXPECT_EQ(pieces[1], word.substr(40, 40));
    EXPECT_EQ(pieces[2], word.substr(80));

    // Raw rows continue at their own indent; bullets at 2; sub-fields at 20.
    EXPECT_EQ(cut_row({RowKind::Raw, "   abcdef ghijkl", ""}, 12),
              (std::vector<std::string>{" abcdef", "   ghijkl"}));
    EXPECT_EQ(cut_row({RowKind::Bullet, "one two three", ""}, 9),
              (std::vector<std::string>{"\u2022 one", "  two", "  three"}));
    // The indent is limited to C - 1, so every piece still makes progress.
    const auto narrow = cut_row({RowKind::Field, "Label", "abcdef"}, 5);
    ASSERT_FALSE(narrow.empty());
    for (const std::string& piece : narrow) {
        EXPECT_LE(piece.size(), 5u);
    }
    EXPECT_EQ(narrow.back(), "    f");
}

TEST_F(ViewTest, NarrowWindowKeepsFortyPixelsOfText) {
    EXPECT_EQ(content_geometry(view, 100).chars_per_line, 40 / 8);
    EXPECT_EQ(content_geometry(view, 1).chars_per_line, 5);
    set_scale(view, 2);
    EXPECT_EQ(content_geometry(view, 100).chars_per_line,
              80 / text_width(*view.fonts.mono, "0", 28));
}

TEST_F(ViewTest, ScrollIsClampedByRender) {
    view.detail = true;  // 100 rows: 64 + 1700 = 1764 high
    view.scroll_offset = 1'000'000;
    render(view);
    EXPECT_EQ(view.content_height, 1764);
    EXPECT_EQ(view.scroll_offset, 48 + 1764 - 680);
    view.scroll_offset = -50;
    render(view);
    EXPECT_EQ(view.scroll_offset, 0);
    view.detail = false;  // short: no scrolling at all
    view.scroll_offset = 300;
    render(view);
    EXPECT_EQ(view.scroll_offset, 0);
}

TEST_F(ViewTest, SetScaleRescalesTheScrollPosition) {
    view.scroll_offset = 101;
    set_scale(view, 2);
    EXPECT_EQ(view.scroll_offset, 202);
    EXPECT_EQ(view.metrics.header_height, 96);
    set_scale(view, 2.0000001f);  // within 2^-23 of the current scale: no change
    EXPECT_EQ(view.scroll_offset, 202);
    set_scale(view, 0.3f);
    EXPECT_EQ(view.scale, 0.5f);
    EXPECT_EQ(view.scroll_offset, 51);  // 202 x 0.5 / 2 = 50.5, half away from zero
    set_scale(view, NAN);
    EXPECT_EQ(view.scale, 1.0f);
}

TEST_F(ViewTest, MinimumSize) {
    const auto [w, h] = min_size(view);
    EXPECT_EQ(
        w, text_width(*view.fonts.bold, "NADREL SYSTEM REPORT", 19) + 5 * 28 + 4 * 8 + 2 * 16 + 16);
    // Tall enough for the About card with a margin above and below, more than eight lines.
    EXPECT_EQ(h, about_card_height(view, w) + 2 * 16);
    EXPECT_GT(h, 8 * 17 + 48);
    for (const float scale : {1.5f, 2.0f}) {
        set_scale(view, scale);
        const auto [sw, sh] = min_size(view);
        EXPECT_GE(sh, about_card_height(view, sw) + 2 * view.metrics.margin) << scale;
    }
}

}  // namespace
}  // namespace nadrel

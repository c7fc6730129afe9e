// The Wayland input rules without a compositor: key table, key repeat on a fake clock, scroll
// accumulation, the move and resize hit tests, and the saturating pointer conversion.
#include "linux/gui/wayland/input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace nadrel {
namespace {

using std::chrono::milliseconds;

TEST(WaylandKeys, PhysicalCodesMapToViewKeys) {
    const std::vector<std::pair<std::uint32_t, ViewKey>> table{
        {1, ViewKey::Quit},       {16, ViewKey::Quit},      {23, ViewKey::Info},
        {38, ViewKey::Live},      {48, ViewKey::Theme},     {31, ViewKey::Save},
        {32, ViewKey::Detail},    {28, ViewKey::Dismiss},   {57, ViewKey::Dismiss},
        {103, ViewKey::LineUp},   {108, ViewKey::LineDown}, {104, ViewKey::PageUp},
        {109, ViewKey::PageDown}, {102, ViewKey::Home},     {107, ViewKey::End},
        {46, ViewKey::Copy},      {96, ViewKey::Dismiss},   {72, ViewKey::LineUp},
        {80, ViewKey::LineDown},  {73, ViewKey::PageUp},    {81, ViewKey::PageDown},
        {71, ViewKey::Home},      {79, ViewKey::End}};
    for (const auto& [code, key] : table) {
        ASSERT_TRUE(key_for_code(code).has_value()) << code;
        EXPECT_EQ(*key_for_code(code), key) << code;
    }
    // Letters next to mapped ones, the left button code, and out-of-range codes map to nothing.
    for (const std::uint32_t code : {0u, 2u, 17u, 30u, 105u, 106u, 272u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(key_for_code(code).has_value()) << code;
    }
}

TEST(WaylandKeys, RepeatInfoIsClampedAndGivesTheInterval) {
    struct Case {
        std::int32_t rate, delay, want_rate, want_delay;
        milliseconds interval;
    };
    const std::vector<Case> cases{
        {0, 600, 0, 600, milliseconds(1000)},   {1, 600, 1, 600, milliseconds(1000)},
        {25, 600, 25, 600, milliseconds(40)},   {100, 600, 100, 600, milliseconds(10)},
        {500, 600, 100, 600, milliseconds(10)}, {-3, -5, 0, 0, milliseconds(1000)},
        {3, 0, 3, 0, milliseconds(333)}};
    for (const Case& c : cases) {
        KeyRepeat repeat;
        set_repeat_info(repeat, c.rate, c.delay);
        EXPECT_EQ(repeat.rate, c.want_rate) << c.rate;
        EXPECT_EQ(repeat.delay, c.want_delay) << c.delay;
        EXPECT_EQ(repeat_interval(repeat.rate), c.interval) << c.rate;
    }
}

// The moments (ms after the press) at which a held key fires within the first `span` ms.
std::vector<int> fires(std::int32_t rate, std::int32_t delay, int span) {
    KeyRepeat repeat;
    set_repeat_info(repeat, rate, delay);
    const Instant t0{};
    repeat_press(repeat, 108, true, t0);
    std::vector<int> at;
    for (int ms = 0; ms <= span; ++ms) {
        if (repeat_fire(repeat, t0 + milliseconds(ms))) {
            at.push_back(ms);
        }
    }
    return at;
}

TEST(WaylandKeys, HeldKeyRepeatsAfterTheDelayAtTheRate) {
    EXPECT_EQ(fires(25, 600, 720), (std::vector<int>{600, 640, 680, 720}));
    EXPECT_EQ(fires(0, 600, 3000), std::vector<int>{});
    EXPECT_EQ(fires(1, 600, 2700), (std::vector<int>{600, 1600, 2600}));
    EXPECT_EQ(fires(100, 600, 630), (std::vector<int>{600, 610, 620, 630}));
    EXPECT_EQ(fires(500, 600, 630), (std::vector<int>{600, 610, 620, 630}));
    EXPECT_EQ(fires(25, -5, 80), (std::vector<int>{0, 40, 80}));
}

TEST(WaylandKeys, RepeatStopsOnReleaseUnmappedKeyAndRateZero) {
    const Instant t0{};
    KeyRepeat repeat;
    set_repeat_info(repeat, 25, 600);
    repeat_press(repeat, 108, true, t0);
    ASSERT_EQ(repeat_deadline(repeat), t0 + milliseconds(600));
    repeat_release(repeat, 103);  // another key going up changes nothing
    EXPECT_TRUE(repeat.active);
    repeat_release(repeat, 108);
    EXPECT_FALSE(repeat.active);
    EXPECT_FALSE(repeat_deadline(repeat).has_value());

    repeat_press(repeat, 108, true, t0);
    repeat_press(repeat, 17, false, t0);  // W: no view key
    EXPECT_FALSE(repeat_fire(repeat, t0 + milliseconds(700)));

    repeat_press(repeat, 108, true, t0);
    set_repeat_info(repeat, 0, 600);
    EXPECT_FALSE(repeat_deadline(repeat).has_value());
    EXPECT_FALSE(repeat_fire(repeat, t0 + milliseconds(700)));
}

TEST(WaylandScroll, WheelStepsScaleWithTheLineStep) {
    ScrollAccumulator scroll;
    scroll.steps = 120;
    scroll.pixels = 7.5;
    EXPECT_EQ(take_scroll(scroll, 60), 60);
    EXPECT_EQ(scroll.pixels, 0);  // a wheel step drops the touchpad remainder
    scroll.steps = 120;
    EXPECT_EQ(take_scroll(scroll, 120), 120);
    scroll.steps = 30;
    EXPECT_EQ(take_scroll(scroll, 60), 15);
    scroll.steps = -240;
    EXPECT_EQ(take_scroll(scroll, 60), -120);
    scroll.steps = 1e300;
    EXPECT_EQ(take_scroll(scroll, 60), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(take_scroll(scroll, 60), 0);
}

TEST(WaylandScroll, TouchpadFractionsAreCarried) {
    ScrollAccumulator scroll;
    std::vector<int> got;
    for (int frame = 0; frame < 10; ++frame) {
        scroll.pixels += 0.4;
        got.push_back(take_scroll(scroll, 60));
    }
    EXPECT_EQ(got, (std::vector<int>{0, 1, 0, 1, 0, 0, 1, 0, 1, 0}));
    scroll.pixels = std::nan("");
    EXPECT_EQ(take_scroll(scroll, 60), 0);
}

ReportView undecorated_view(std::int32_t content_height) {
    ReportView view;  // 760 x 680 at scale 1: header 48, scrollbar 12, Close at 716..743
    view.close_button = true;
    view.content_height = content_height;
    return view;
}

TEST(WaylandHitTest, ResizeEdgesCornersScrollbarAndButtons) {
    struct Case {
        std::int32_t x, y, with_scrollbar, without_scrollbar;
    };
    const std::vector<Case> cases{
        {0, 0, 4, 4},       {759, 0, 5, 5},   {0, 679, 6, 6},  {759, 679, 7, 7}, {6, 6, 4, 4},
        {7, 7, 8, 8},       {753, 6, 0, 0},   {754, 6, 5, 5},  {300, 0, 0, 0},   {300, 673, 8, 8},
        {300, 674, 1, 1},   {0, 300, 2, 2},   {6, 300, 2, 2},  {7, 300, 8, 8},   {754, 300, 8, 3},
        {759, 300, 8, 3},   {753, 300, 8, 8}, {759, 20, 3, 3}, {759, 47, 3, 3},  {759, 48, 8, 3},
        {720, 20, 8, 8},    {716, 10, 8, 8},  {743, 37, 8, 8}, {744, 20, 8, 8},  {-50, -50, 4, 4},
        {5000, 5000, 7, 7}, {300, 300, 8, 8}};
    const ReportView scrolling = undecorated_view(5000);
    const ReportView short_page = undecorated_view(100);
    for (const Case& c : cases) {
        EXPECT_EQ(resize_edge_at(scrolling, c.x, c.y), static_cast<ResizeEdge>(c.with_scrollbar))
            << c.x << "," << c.y;
        EXPECT_EQ(resize_edge_at(short_page, c.x, c.y),
                  static_cast<ResizeEdge>(c.without_scrollbar))
            << c.x << "," << c.y;
    }
    ReportView decorated = undecorated_view(100);
    decorated.close_button = false;
    ReportView about = undecorated_view(100);
    about.info_open = true;
    for (const Case& c : cases) {
        EXPECT_EQ(resize_edge_at(decorated, c.x, c.y), ResizeEdge::None);
        EXPECT_EQ(resize_edge_at(about, c.x, c.y), ResizeEdge::None);
    }
}

TEST(WaylandHitTest, HeaderMovesTheWindowExceptOnButtonsAndUnderCards) {
    ReportView view = undecorated_view(100);
    EXPECT_TRUE(title_drag_at(view, 300, 20));
    EXPECT_TRUE(title_drag_at(view, 0, 0));
    EXPECT_TRUE(title_drag_at(view, 300, 47));
    EXPECT_FALSE(title_drag_at(view, 300, 48));
    EXPECT_FALSE(title_drag_at(view, 720, 20));  // Close
    EXPECT_FALSE(title_drag_at(view, 690, 20));  // Info
    view.close_button = false;
    EXPECT_FALSE(title_drag_at(view, 720, 20));  // Info, where Close was
    EXPECT_TRUE(title_drag_at(view, 750, 20));
    view.info_open = true;
    EXPECT_FALSE(title_drag_at(view, 300, 20));
    view.info_open = false;
    view.live.emplace();
    EXPECT_FALSE(title_drag_at(view, 300, 20));
}

TEST(WaylandHitTest, EdgeTables) {
    const std::vector<std::uint32_t> shapes{19, 22, 25, 18, 21, 20, 24, 23, 1};
    const std::vector<std::uint32_t> edges{1, 2, 4, 8, 5, 9, 6, 10, 0};
    for (std::size_t e = 0; e < shapes.size(); ++e) {
        EXPECT_EQ(cursor_shape_for_edge(static_cast<ResizeEdge>(e)), shapes[e]);
        EXPECT_EQ(toplevel_edge_for(static_cast<ResizeEdge>(e)), edges[e]);
    }
    EXPECT_EQ(cursor_shape_for_edge(static_cast<ResizeEdge>(99)), 1u);
    EXPECT_EQ(toplevel_edge_for(static_cast<ResizeEdge>(99)), 0u);
    // Theme cursor names: the arrow away from the edges, and the arrow of each edge.
    EXPECT_EQ(std::string(cursor_names_for_edge(ResizeEdge::None)[0]), "left_ptr");
    EXPECT_EQ(std::string(cursor_names_for_edge(ResizeEdge::TopRight)[1]), "ne-resize");
    const std::pair<std::optional<std::string_view>, std::int32_t> sizes[] = {
        {std::nullopt, 24}, {"48", 48}, {" 32\n", 32}, {"0", 24}, {"600", 24}, {"big", 24}};
    for (const auto& [value, size] : sizes) {
        EXPECT_EQ(pointer_theme_size(value), size) << value.value_or("(unset)");
    }
}

TEST(WaylandPointer, CoordinatesSaturateAndTruncate) {
    EXPECT_EQ(pointer_pixel(2.9), 2);
    EXPECT_EQ(pointer_pixel(-2.9), -2);
    EXPECT_EQ(pointer_pixel(std::nan("")), 0);
    EXPECT_EQ(pointer_pixel(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(pointer_pixel(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(pointer_pixel(std::numeric_limits<double>::infinity()),
              std::numeric_limits<std::int32_t>::max());
}

}  // namespace
}  // namespace nadrel

// Interaction of the report view: keys, clicks, thumb drags, hover, wheel and timers, as
// (state, input) -> (response, new state).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "core/report/report.h"
#include "gui/view/fixture.h"

namespace nadrel {
namespace {

using std::chrono::milliseconds;
using test::ViewTest;

enum class Card { None, About, Live };

void open_card(ReportView& view, Card card) {
    view.info_open = card == Card::About;
    view.live.reset();
    if (card == Card::Live) {
        view.live = LiveCard{};
    }
}

Card card_of(const ReportView& view) {
    return view.live ? Card::Live : view.info_open ? Card::About : Card::None;
}

TEST_F(ViewTest, KeysWithAndWithoutCards) {
    struct Case {
        Card card;
        ViewKey key;
        ViewResponse response;
        Card card_after;
        std::int32_t scroll_after;  // from 100
    };
    const Case cases[] = {
        {Card::Live, ViewKey::Quit, ViewResponse::Redraw, Card::None, 100},
        {Card::Live, ViewKey::Live, ViewResponse::Redraw, Card::None, 100},
        {Card::Live, ViewKey::Dismiss, ViewResponse::Redraw, Card::None, 100},
        {Card::Live, ViewKey::LineDown, ViewResponse::Nothing, Card::Live, 100},
        {Card::Live, ViewKey::Info, ViewResponse::Nothing, Card::Live, 100},
        {Card::Live, ViewKey::End, ViewResponse::Nothing, Card::Live, 100},
        {Card::About, ViewKey::Quit, ViewResponse::Redraw, Card::None, 100},
        {Card::About, ViewKey::Info, ViewResponse::Redraw, Card::None, 100},
        {Card::About, ViewKey::Dismiss, ViewResponse::Redraw, Card::None, 100},
        {Card::About, ViewKey::Theme, ViewResponse::Nothing, Card::About, 100},
        {Card::About, ViewKey::PageDown, ViewResponse::Nothing, Card::About, 100},
        {Card::About, ViewKey::Live, ViewResponse::Nothing, Card::About, 100},
        {Card::None, ViewKey::Quit, ViewResponse::Quit, Card::None, 100},
        {Card::None, ViewKey::Info, ViewResponse::Redraw, Card::About, 100},
        {Card::None, ViewKey::Dismiss, ViewResponse::Nothing, Card::None, 100},
        {Card::None, ViewKey::Detail, ViewResponse::Redraw, Card::None, 0},
        {Card::None, ViewKey::LineUp, ViewResponse::Redraw, Card::None, 40},
        {Card::None, ViewKey::LineDown, ViewResponse::Redraw, Card::None, 160},
        {Card::None, ViewKey::PageUp, ViewResponse::Redraw, Card::None, 100 - (632 - 40)},
        {Card::None, ViewKey::PageDown, ViewResponse::Redraw, Card::None, 100 + (632 - 40)},
        {Card::None, ViewKey::Home, ViewResponse::Redraw, Card::None, 0},
        {Card::None, ViewKey::End, ViewResponse::Redraw, Card::None, 1764},
    };
    view.detail = true;
    render(view);  // content_height 1764
    for (const Case& c : cases) {
        open_card(view, c.card);
        view.scroll_offset = 100;
        view.detail = true;
        EXPECT_EQ(on_key(view, c.key), c.response) << static_cast<int>(c.key);
        EXPECT_EQ(card_of(view), c.card_after) << static_cast<int>(c.key);
        EXPECT_EQ(view.scroll_offset, c.scroll_after) << static_cast<int>(c.key);
    }
}

TEST_F(ViewTest, QuitClosesTheLiveCardFirst) {
    EXPECT_EQ(on_key(view, ViewKey::Live), ViewResponse::Redraw);
    ASSERT_TRUE(view.live);
    EXPECT_EQ(view.live->sampled_at, now);
    EXPECT_EQ(host->samples, std::vector<Instant>{now});
    EXPECT_EQ(view.live->rows.size(), host->rows.size());
    EXPECT_EQ(on_key(view, ViewKey::Quit), ViewResponse::Redraw);
    EXPECT_FALSE(view.live);
    EXPECT_EQ(on_key(view, ViewKey::Quit), ViewResponse::Quit);
}

TEST_F(ViewTest, ThemeKeySwitchesBothWays) {
    EXPECT_EQ(on_key(view, ViewKey::Theme), ViewResponse::Redraw);
    EXPECT_EQ(std::make_pair(view.dark, view.theme.background),
              std::make_pair(false, light_theme.background));
    on_key(view, ViewKey::Theme);
    EXPECT_EQ(std::make_pair(view.dark, view.theme.background),
              std::make_pair(true, dark_theme.background));
}

TEST_F(ViewTest, PageStepOfSmallViews) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {
        {48 + 41, 1}, {48 + 42, 2}, {48, 1}, {10, 1}, {680, 592}};
    for (const auto& [height, step] : cases) {
        resize(view, 760, height);
        EXPECT_EQ(page_step(view), step) << height;
    }
    resize(view, 760, 48 + 41);
    view.scroll_offset = 0;
    on_key(view, ViewKey::PageDown);
    EXPECT_EQ(view.scroll_offset, 1);
    set_scale(view, 2);
    EXPECT_EQ(line_step(view), 120);
}

TEST_F(ViewTest, PressesOnTheHeader) {
    struct Case {
        std::int32_t x, y;
        ViewResponse response;
    };
    view.close_button = true;  // Close 716, Info 680, Save 644, Theme 608, Live 572, Detail 536
    EXPECT_EQ(on_press(view, 716, 10), ViewResponse::Quit);
    EXPECT_EQ(on_press(view, 743, 37), ViewResponse::Quit);
    EXPECT_EQ(on_press(view, 744, 20), ViewResponse::Nothing);  // right of the button
    EXPECT_EQ(on_press(view, 720, 38), ViewResponse::Nothing);  // below it, still header
    EXPECT_EQ(on_press(view, 710, 20), ViewResponse::Nothing);  // in the gap
    EXPECT_EQ(on_press(view, 100, 20), ViewResponse::Nothing);
    EXPECT_EQ(on_press(view, 690, 20), ViewResponse::Redraw);
    EXPECT_TRUE(view.info_open);
    EXPECT_EQ(on_press(view, 100, 300), ViewResponse::Redraw);  // any click closes it
    EXPECT_FALSE(view.info_open);
    EXPECT_EQ(on_press(view, 610, 20), ViewResponse::Redraw);
    EXPECT_FALSE(view.dark);
    view.scroll_offset = 77;
    EXPECT_EQ(on_press(view, 540, 20), ViewResponse::Redraw);
    EXPECT_TRUE(view.detail);
    EXPECT_EQ(view.scroll_offset, 0);
    view.live = LiveCard{};
    EXPECT_EQ(on_press(view, 716, 10), ViewResponse::Redraw);  // not Close: the card closes
    EXPECT_FALSE(view.live);
}

TEST_F(ViewTest, ThumbDragKeepsTheGrabPoint) {
    view.detail = true;
    render(view);  // V 632, content 1764: T 226, range 1132, track 406
    // On the thumb (it spans 0 ... 225 below the header): grabbed 100 pixels down.
    EXPECT_EQ(on_press(view, 755, 48 + 100), ViewResponse::Redraw);
    EXPECT_TRUE(view.dragging);
    EXPECT_EQ(view.drag_grab, 100);
    EXPECT_EQ(view.scroll_offset, 0);
    struct Move {
        std::int32_t y, scroll;
    };
    const Move moves[] = {{48 + 100 + 203, 1132 * 203 / 406},
                          {48 + 100 + 406, 1132},
                          {5000, 1132},
                          {48 + 100 - 30, 0},
                          {-100000, 0},
                          {48 + 101, 1132 / 406}};
    for (const Move& m : moves) {
        EXPECT_EQ(on_motion(view, 0, m.y), ViewResponse::Redraw);
        EXPECT_EQ(view.scroll_offset, m.scroll) << m.y;
    }
    on_release(view);
    EXPECT_FALSE(view.dragging);

    // Beside the thumb: its middle jumps to the pointer.
    view.scroll_offset = 0;
    EXPECT_EQ(on_press(view, 748, 48 + 400), ViewResponse::Redraw);
    EXPECT_EQ(view.drag_grab, 113);
    EXPECT_EQ(view.scroll_offset, 1132 * (400 - 113) / 406);
    on_release(view);

    EXPECT_EQ(on_press(view, 747, 48 + 400), ViewResponse::Nothing);  // left of the strip
    view.detail = false;
    render(view);
    EXPECT_EQ(on_press(view, 755, 100), ViewResponse::Nothing);  // no scrollbar
    view.dragging = true;
    EXPECT_EQ(on_motion(view, 755, 100), ViewResponse::Nothing);
}

TEST_F(ViewTest, HoverDelaysTheTooltip) {
    EXPECT_EQ(on_motion(view, 650, 20), ViewResponse::Redraw);  // Theme
    EXPECT_EQ(view.hover, ButtonKind::Theme);
    EXPECT_EQ(view.hover_since, now);
    EXPECT_EQ(next_wakeup(view), now + milliseconds(500));
    advance(milliseconds(499));
    EXPECT_EQ(tooltip_due(view), ButtonKind::NoButton);
    EXPECT_EQ(on_motion(view, 660, 30), ViewResponse::Nothing);  // same button
    advance(milliseconds(1));
    EXPECT_EQ(tooltip_due(view), ButtonKind::Theme);
    // The deadline stays until a frame has shown the tooltip.
    EXPECT_EQ(next_wakeup(view), now);
    render(view);
    EXPECT_EQ(next_wakeup(view), std::nullopt);

    // Another button restarts the delay.
    EXPECT_EQ(on_motion(view, 690, 20), ViewResponse::Redraw);
    EXPECT_EQ(view.hover, ButtonKind::Save);
    EXPECT_EQ(tooltip_due(view), ButtonKind::NoButton);
    advance(milliseconds(500));
    EXPECT_EQ(tooltip_due(view), ButtonKind::Save);

    // Never under a card; the hover is frozen under the About card only.
    view.info_open = true;
    EXPECT_EQ(tooltip_due(view), ButtonKind::NoButton);
    EXPECT_EQ(on_motion(view, 650, 20), ViewResponse::Nothing);
    EXPECT_EQ(view.hover, ButtonKind::Save);
    view.info_open = false;
    view.live = LiveCard{};
    view.live->sampled_at = now;
    EXPECT_EQ(tooltip_due(view), ButtonKind::NoButton);
    EXPECT_EQ(on_motion(view, 650, 20), ViewResponse::Redraw);
    EXPECT_EQ(view.hover, ButtonKind::Theme);
    view.live.reset();

    // A clock that went backwards counts as not yet.
    view.hover_since = now + milliseconds(2000);
    EXPECT_EQ(tooltip_due(view), ButtonKind::NoButton);

    // Leaving the header, or the window, clears the hover.
    EXPECT_EQ(on_motion(view, 650, 48), ViewResponse::Redraw);
    EXPECT_EQ(view.hover, ButtonKind::NoButton);
    EXPECT_FALSE(view.hover_since);
    EXPECT_EQ(on_motion(view, 650, 60), ViewResponse::Nothing);
    on_motion(view, 650, 20);
    EXPECT_EQ(on_motion(view, 300, 20), ViewResponse::Redraw);  // header, no button
    EXPECT_EQ(view.hover, ButtonKind::NoButton);
    on_motion(view, 650, 20);
    EXPECT_EQ(on_leave(view), ViewResponse::Redraw);
    EXPECT_EQ(view.hover, ButtonKind::NoButton);
    EXPECT_EQ(on_leave(view), ViewResponse::Nothing);
}

TEST_F(ViewTest, TooltipComesAfterAnEarlyWakeUpAndALateOne) {
    EXPECT_EQ(poll_timeout(view), -1);
    on_motion(view, 650, 20);  // Theme
    render(view);              // the hover face, no tooltip yet
    EXPECT_EQ(poll_timeout(view), 500);
    advance(milliseconds(499));  // the loop woke 1 ms early
    EXPECT_FALSE(on_timer(view));
    EXPECT_EQ(poll_timeout(view), 1);
    advance(milliseconds(5));  // and the clock passed the deadline before the next wait
    EXPECT_EQ(poll_timeout(view), 0);
    EXPECT_TRUE(on_timer(view));
    EXPECT_FALSE(view.tooltip_shown);
    render(view);
    EXPECT_TRUE(view.tooltip_shown);
    EXPECT_EQ(poll_timeout(view), -1);
    EXPECT_FALSE(on_timer(view));

    // Another deadline (key repeat) counts too; the wait is rounded up, never early.
    using std::chrono::microseconds;
    EXPECT_EQ(poll_timeout(view, now + microseconds(1'500'900)), 1501);
    EXPECT_EQ(poll_timeout(view, now + microseconds(999)), 1);
    EXPECT_EQ(poll_timeout(view, now - microseconds(5)), 0);
    EXPECT_EQ(poll_timeout(view, now + std::chrono::hours(24 * 365)), INT_MAX);
}

TEST_F(ViewTest, ATallLiveCardScrollsWithKeysAndWheel) {
    view.live = LiveCard{};
    view.live->sampled_at = now;
    for (int i = 0; i < 60; ++i) {
        view.live->rows.push_back({false, "Label " + std::to_string(i), "value"});
    }
    resize(view, 760, 300);
    render(view);
    ASSERT_GT(view.live_scroll_max, 0);
    const Canvas top = render(view);
    const auto same = [](const Canvas& a, const Canvas& b) {
        return std::equal(a.pixels().begin(), a.pixels().end(), b.pixels().begin(),
                          b.pixels().end());
    };
    EXPECT_EQ(on_key(view, ViewKey::LineDown), ViewResponse::Redraw);
    EXPECT_EQ(view.live_scroll, 60);
    EXPECT_EQ(on_wheel(view, 1), ViewResponse::Redraw);
    EXPECT_EQ(view.live_scroll, 120);
    EXPECT_EQ(view.scroll_offset, 0);  // the page under the card stays
    EXPECT_FALSE(same(render(view), top));
    on_key(view, ViewKey::End);
    EXPECT_EQ(view.live_scroll, view.live_scroll_max);
    EXPECT_EQ(on_key(view, ViewKey::PageDown), ViewResponse::Redraw);
    EXPECT_EQ(view.live_scroll, view.live_scroll_max);
    on_key(view, ViewKey::Home);
    EXPECT_EQ(view.live_scroll, 0);
    EXPECT_TRUE(same(render(view), top));

    // A card that fits the window: keys do nothing, the wheel scrolls the page as before.
    resize(view, 760, 4000);
    render(view);
    EXPECT_EQ(view.live_scroll_max, 0);
    EXPECT_EQ(on_key(view, ViewKey::LineDown), ViewResponse::Nothing);
    on_wheel(view, 1);
    EXPECT_EQ(view.scroll_offset, 60);
    EXPECT_EQ(on_key(view, ViewKey::Quit), ViewResponse::Redraw);
    EXPECT_FALSE(view.live);
}

TEST_F(ViewTest, WheelClosesTheAboutCardButScrollsUnderTheLiveCard) {
    view.scroll_offset = 100;
    view.info_open = true;
    EXPECT_EQ(on_wheel(view, 1), ViewResponse::Redraw);
    EXPECT_FALSE(view.info_open);
    EXPECT_EQ(view.scroll_offset, 100);
    view.live = LiveCard{};
    EXPECT_EQ(on_wheel(view, 2), ViewResponse::Redraw);
    EXPECT_EQ(view.scroll_offset, 220);
    EXPECT_TRUE(view.live);
    EXPECT_EQ(on_wheel(view, -1), ViewResponse::Redraw);
    EXPECT_EQ(view.scroll_offset, 160);
    on_wheel(view, 1 << 30);  // saturates instead of wrapping
    EXPECT_EQ(view.scroll_offset, INT32_MAX);
}

TEST_F(ViewTest, LiveTickEveryThreeWholeSeconds) {
    EXPECT_FALSE(live_tick(view));
    EXPECT_EQ(next_wakeup(view), std::nullopt);
    open_live(view);
    const Instant opened = now;
    EXPECT_EQ(next_wakeup(view), opened + std::chrono::seconds(3));
    advance(milliseconds(2999));
    EXPECT_FALSE(live_tick(view));
    advance(milliseconds(1));
    EXPECT_TRUE(live_tick(view));
    EXPECT_EQ(view.live->sampled_at, now);
    EXPECT_EQ(host->samples, (std::vector<Instant>{opened, now}));
    EXPECT_EQ(next_wakeup(view), now + std::chrono::seconds(3));
    // No tooltip shows under the card, so the hover delay does not wake the loop; once the
    // card is closed it does.
    on_motion(view, 650, 20);
    EXPECT_EQ(next_wakeup(view), now + std::chrono::seconds(3));
    const auto card = view.live;
    view.live.reset();
    EXPECT_EQ(next_wakeup(view), now + milliseconds(500));
    view.live = card;
    now -= std::chrono::seconds(10);  // backwards
    EXPECT_FALSE(live_tick(view));
}

}  // namespace
}  // namespace nadrel

namespace nadrel {
namespace {

TEST_F(ViewTest, AMessageGivesWayToTheStampAfterFiveSeconds) {
    on_key(view, ViewKey::Save);
    EXPECT_EQ(next_wakeup(view), now + std::chrono::seconds(5));
    advance(milliseconds(4999));
    EXPECT_FALSE(on_timer(view));
    EXPECT_EQ(view.status_text, host->message);
    advance(milliseconds(1));
    EXPECT_TRUE(on_timer(view));
    EXPECT_EQ(view.status_text, "Generated 2026-12-07 11:33 UTC");
    EXPECT_EQ(next_wakeup(view), std::nullopt);
}

TEST_F(ViewTest, SaveHandsTheShownDocumentToTheHostAndShowsItsMessage) {
    EXPECT_EQ(view.status_text, "Generated 2026-12-07 11:33 UTC");
    EXPECT_EQ(on_key(view, ViewKey::Save), ViewResponse::Redraw);
    EXPECT_EQ(view.status_text, host->message);
    EXPECT_EQ(host->saved, render_text(title_block(view.stamp), view.summary_report));
    on_key(view, ViewKey::Detail);
    on_press(view, 690, 20);  // the Save button
    EXPECT_EQ(host->saved, render_text(title_block(view.stamp), view.detailed_report));

    // Copying takes exactly what Save wrote.
    EXPECT_EQ(on_key(view, ViewKey::Copy), ViewResponse::Copy);
    EXPECT_EQ(view.status_text, "Copied to clipboard");
    EXPECT_EQ(clipboard_text(view), host->saved);
}

}  // namespace
}  // namespace nadrel

// The report window's state and what it does: layout and drawing of a complete frame, keys,
// pointer, wheel and timers. Display backends only translate events and show the canvas.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/report/report.h"
#include "linux/gui/draw/canvas.h"
#include "linux/gui/draw/text.h"
#include "linux/gui/view/host.h"

namespace nadrel {

// Text below 14 px (muted or not) reads at 4.5:1 or more against the faces it is drawn on;
// borders and the hovered face stand 3:1 apart from what they adjoin (gui tests check it).
struct Theme {
    Colour background = 0;    // page and header, holes in section icons
    Colour text = 0;          // title, report lines, button icons, card texts
    Colour muted = 0;         // status line, header separator, secondary card texts
    Colour accent = 0;        // About card name, live-card headings
    Colour thumb = 0;         // scrollbar thumb
    Colour button = 0;        // button faces, card and tooltip faces
    Colour button_hover = 0;  // hovered button face
    Colour border = 0;        // card borders (over the dimmed page) and tooltip borders
};

inline constexpr Theme dark_theme{0x1E1E1E, 0xFFFFFF, 0xA0A0A0, 0xFBEEE2,
                                  0x595959, 0x2D2D2D, 0x787878, 0xA0A0A0};
inline constexpr Theme light_theme{0xFFFFFF, 0x1A1A1A, 0x666666, 0x453220,
                                   0xB0B0B0, 0xECECEC, 0x858585, 0x333333};

// Layout sizes at one UI scale: integers are max(1, round(k x scale)), font sizes k x scale.
struct ViewMetrics {
    std::int32_t header_height = 48;
    std::int32_t scrollbar_width = 12;
    std::int32_t margin = 16;
    std::int32_t icon_column = 32;
    std::int32_t text_indent = 56;
    std::int32_t button_width = 28;
    std::int32_t button_height = 28;
    std::int32_t button_gap = 8;
    std::int32_t thumb_inset = 2;
    std::int32_t min_thumb = 24;
    float title_size = 19;
    float small_size = 12;
    float heading_size = 16;
    float body_size = 14;
};

// A non-finite scale gives 1; others are limited to 0.5 ... 8.
float clamp_scale(float scale);
ViewMetrics make_metrics(float scale);
// max(1, round(k x scale)), rounding halves away from zero, saturating.
std::int32_t scaled(double k, float scale);

enum class ButtonKind : std::uint8_t {
    Detail = 0,
    Live = 1,
    Theme = 2,
    Save = 3,
    Info = 4,
    Close = 5,
    NoButton = 6,
};

struct Button {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t w = 0;
    std::int32_t h = 0;
    ButtonKind kind = ButtonKind::NoButton;
};

// Keys the view understands; backends drop every other key.
enum class ViewKey : std::uint8_t {
    Quit = 0,
    Info = 1,
    Live = 2,
    Theme = 3,
    Save = 4,
    Detail = 5,
    Dismiss = 6,
    LineUp = 7,
    LineDown = 8,
    PageUp = 9,
    PageDown = 10,
    Home = 11,
    End = 12,
    Copy = 13,
};

enum class ViewResponse : std::uint8_t {
    Nothing = 0,
    Redraw = 1,
    Quit = 2,
    Copy = 3,  // the shown text goes to the clipboard (clipboard_text); redraw
};

// The monotonic clock the view reads; tests replace it.
using Clock = std::function<Instant()>;
Instant steady_now();

inline constexpr std::chrono::milliseconds hover_delay{500};
inline constexpr std::chrono::seconds live_period{3};
// How long a message (saved, copied) holds the status line before the stamp comes back.
inline constexpr std::chrono::seconds message_period{5};
inline constexpr std::int32_t default_view_width = 760;
inline constexpr std::int32_t default_view_height = 680;
inline constexpr std::int32_t max_view_side = 16384;
inline constexpr std::string_view window_title = "NADREL SYSTEM REPORT";

// Scrolling collected between pointer frames.
struct ScrollAccumulator {
    double steps = 0;   // wheel steps in 1/120 notches
    double pixels = 0;  // continuous scrolling, pixels
};

// The live readout card while it is shown: the rows of the last sample and when it was taken.
struct LiveCard {
    std::vector<LiveRow> rows;
    Instant sampled_at{};
};

struct ReportView {
    Report summary_report;
    Report detailed_report;
    std::string stamp;                     // generation time stamp, for saving
    std::string status_text;               // second header line
    std::optional<Instant> message_until;  // a message in status_text gives way to the stamp
    std::optional<LiveCard> live;
    std::optional<Instant> hover_since;
    Theme theme = dark_theme;
    bool dark = true;
    FontSet fonts;
    std::int32_t width = default_view_width;
    std::int32_t height = default_view_height;
    float scale = 1.0f;
    ViewMetrics metrics;
    std::int32_t scroll_offset = 0;
    std::int32_t content_height = 0;  // written by render
    std::int32_t drag_grab = 0;
    bool detail = false;
    bool info_open = false;
    bool dragging = false;
    bool close_button = false;  // set by a backend that draws its own decorations
    ButtonKind hover = ButtonKind::NoButton;
    bool tooltip_shown = false;  // the last frame drew a tooltip (written by render)
    ScrollAccumulator pending_scroll;
    // The live card's own scroll position and its largest value, when the card is taller than
    // the window (written by render).
    std::int32_t live_scroll = 0;
    std::int32_t live_scroll_max = 0;

    // The live card's rows and the save action come from the machine through the host.
    std::shared_ptr<ViewHost> host;
    Clock clock = steady_now;
};

// The status line's resting text: "Generated {stamp}".
std::string generated_text(std::string_view stamp);
// A message in the status line, until message_period has passed.
void show_message(ReportView& view, std::string message);

// The view as the window opens: status line "Generated {stamp}", dark theme, 760 x 680.
ReportView make_view(Report summary, Report detailed, std::string stamp, FontSet fonts,
                     std::shared_ptr<ViewHost> host);

// Drawing and layout.
// A complete frame at width x height; stores the clamped scroll_offset and content_height.
Canvas render(ReportView& view);
// Smallest sensible window, with room for the title, the buttons and the whole About card:
// (width, height) in pixels.
std::pair<std::int32_t, std::int32_t> min_size(const ReportView& view);
// Height of the About card in a window of this width.
std::int32_t about_card_height(const ReportView& view, std::int32_t width);
// A new UI scale (clamped); the scroll position is rescaled with it.
void set_scale(ReportView& view, float scale);
// The header buttons, right to left: Close (when shown), Info, Save, Theme, Live, Detail; in a
// narrow window those that would reach the start of the title are left out.
std::vector<Button> buttons(const ReportView& view, std::int32_t width);
// The window's new pixel size, each side kept within 1 ... 16384.
void resize(ReportView& view, std::int32_t width, std::int32_t height);
// Switches between the dark and the light theme.
void switch_theme(ReportView& view);
// The document shown: the detailed one when detail is set.
const Report& shown_report(const ReportView& view);
// Tooltip label of a button kind in the current theme.
std::string_view tooltip_label(const ReportView& view, ButtonKind kind);
// What copying puts on the clipboard: exactly the text the save action writes.
std::string clipboard_text(const ReportView& view);

// Interaction.
// The view key of an X keysym (both backends read keys as keysyms: X11 from the server's
// mapping, Wayland from the compositor's keymap); nothing for keys the view does not use.
std::optional<ViewKey> view_key_for(std::uint32_t keysym);
std::int32_t line_step(const ReportView& view);  // max(1, round(60 x scale))
std::int32_t page_step(const ReportView& view);  // visible height - 40, at least 1
ViewResponse on_key(ReportView& view, ViewKey key);
ViewResponse on_press(ReportView& view, std::int32_t x, std::int32_t y);
void on_release(ReportView& view);
ViewResponse on_motion(ReportView& view, std::int32_t x, std::int32_t y);
ViewResponse on_leave(ReportView& view);
// A pointer button other than the left one and the wheel was pressed: it closes the About card.
ViewResponse on_other_button(ReportView& view);
// The wheel turned by lines steps (negative = up); closes the About card instead of scrolling,
// and scrolls a live card taller than the window instead of the page.
ViewResponse on_wheel(ReportView& view, std::int32_t lines);
// Scrolling by pixels (touchpads); closes the About card instead, like the wheel.
ViewResponse on_scroll_pixels(ReportView& view, std::int32_t pixels);
// Scrolling collected until the pointer's frame: wheel notches in 1/120 steps, or continuous
// pixels; scroll_frame then scrolls by what was collected.
void add_scroll_steps(ReportView& view, double value120);
void add_scroll_pixels(ReportView& view, double pixels);
ViewResponse scroll_frame(ReportView& view);
// The button whose tooltip is due now, or NoButton.
ButtonKind tooltip_due(const ReportView& view);
// When a timer of the view next needs the loop: the hover delay (kept until the tooltip has
// been drawn, so a late wake-up still shows it), the live refresh, the end of a message.
std::optional<Instant> next_wakeup(const ReportView& view);
// The poll() timeout until the earlier of next_wakeup and other: -1 for none, 0 when due, else
// the milliseconds left rounded up (a wake-up never comes early), capped at 2147483647.
int poll_timeout(const ReportView& view, std::optional<Instant> other = std::nullopt);
// The loop woke without an event: refreshes the live card when due and puts the stamp back
// after a message; true when a frame is due (a new live sample, the stamp back, or a tooltip
// that is due and not yet drawn).
bool on_timer(ReportView& view);
// Refreshes the live card when 3 s have passed; true when it did (redraw).
bool live_tick(ReportView& view);
// Opens the live card (closing the About card).
void open_live(ReportView& view);
// Saves the shown document through the host and puts the message into status_text.
void save_shown_report(ReportView& view);

// Pixels to scroll for what was collected (positive = down): wheel steps win and clear both,
// else whole pixels are taken and the fraction is kept. line_step is the view's line step.
std::int32_t take_scroll(ScrollAccumulator& scroll, std::int32_t line_step);

}  // namespace nadrel

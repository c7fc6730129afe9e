// The program's window on a real X server (Xvfb): properties, pixels, keys, pointer, closing,
// scale 2 and the fall-backs to printing when the server cannot be used or goes away.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "gui/x11/x11_harness.h"
#include "linux/gui/draw/canvas.h"
#include "linux/gui/draw/text.h"
#include "linux/gui/view/view.h"
#include "linux/gui/x11/convert.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel::test {
namespace {

constexpr std::uint32_t dark_page = 0x1E1E1E;
constexpr std::uint32_t dark_muted = 0xA0A0A0;
constexpr std::uint32_t dark_button = 0x2D2D2D;
constexpr std::uint32_t dark_thumb = 0x595959;
constexpr std::uint32_t light_page = 0xFFFFFF;
constexpr std::uint32_t light_thumb = 0xB0B0B0;
constexpr std::string_view title_line = "NADREL  -  System Report\n";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The minimum size the view asks for, with the fonts the program loads.
std::pair<std::int32_t, std::int32_t> expected_min_size(float scale) {
    std::optional<FontSet> fonts = load_font_set();
    if (!fonts) {
        return {0, 0};
    }
    ReportView view = make_view(Report{}, Report{}, "", std::move(*fonts), SysRoot(), std::nullopt);
    set_scale(view, scale);
    return min_size(view);
}

// The program, running on one display with a HOME of its own and a fixture machine.
class Program {
public:
    // home_below: a folder made inside the temporary one to serve as HOME.
    Program(const std::string& display, const std::vector<std::string>& args,
            const std::vector<std::string>& extra_env = {}, const std::string& home_below = "") {
        std::vector<std::string> argv{NADREL_BINARY};
        argv.insert(argv.end(), args.begin(), args.end());
        home_dir = home.path();
        if (!home_below.empty()) {
            home_dir += "/" + home_below;
            std::filesystem::create_directories(home_dir);
        }
        std::vector<std::string> env{"DISPLAY=" + display, "HOME=" + home_dir,
                                     "NADREL_SYSROOT=" NADREL_FIXTURES_DIR "/intel-desktop",
                                     "PATH=/usr/bin:/bin"};
        env.insert(env.end(), extra_env.begin(), extra_env.end());
        process =
            std::make_unique<Process>(argv, env, home.path() + "/.out", home.path() + "/.err");
    }
    std::string out() const { return read_file(home.path() + "/.out"); }
    std::string err() const { return read_file(home.path() + "/.err"); }

    TempDir home;
    std::string home_dir;
    std::unique_ptr<Process> process;
};

class X11Window : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Xvfb::installed()) {
            GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb): no X server to test on";
        }
        server = std::make_unique<Xvfb>();
        ASSERT_TRUE(server->ready()) << "Xvfb did not start";
        client = std::make_unique<XClient>(server->display());
        ASSERT_TRUE(client->connected());
    }

    // Starts the program and waits for its first frame (the header separator drawn).
    xcb_window_t open(Program& program, int separator_row = 47) {
        const auto window = client->find_window("Nadrel", milliseconds(10000));
        if (!window) {
            ADD_FAILURE() << "no window named Nadrel; stderr: " << program.err();
            return 0;
        }
        EXPECT_TRUE(client->wait_pixel(*window, 5, separator_row, dark_muted)) << "no first frame";
        return *window;
    }

    // xdotool with the pointer parked over the report (keys go to the window under it).
    void keys(xcb_window_t window, const std::string& names) {
        ASSERT_EQ(
            run_on_display(server->display(), "xdotool mousemove --window " +
                                                  std::to_string(window) + " 400 400 key " + names),
            0);
    }

    void expect_clean_exit(Program& program) {
        EXPECT_EQ(program.process->wait(milliseconds(10000)), 0);
        EXPECT_EQ(program.out(), "");
        EXPECT_EQ(program.err(), "");
    }

    std::unique_ptr<Xvfb> server;
    std::unique_ptr<XClient> client;
};

TEST_F(X11Window, MapsNamedWithSizeHintsAndDrawsTheReport) {
    Program program(server->display(), {});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(client->text_property(window, XCB_ATOM_WM_NAME), "Nadrel");
    EXPECT_EQ(client->text_property(window, XCB_ATOM_WM_ICON_NAME), "Nadrel");
    EXPECT_EQ(client->protocols(window), std::vector<std::string>{"WM_DELETE_WINDOW"});
    EXPECT_EQ(client->text_property(window, XCB_ATOM_WM_CLASS),
              std::string("nadrel\0Nadrel\0", 14));
    EXPECT_EQ(
        client->text_property(window, client->atom("_NET_WM_NAME"), client->atom("UTF8_STRING")),
        "Nadrel");
    EXPECT_EQ(client->size(window), (std::pair<int, int>{760, 680}));
    const auto hints = client->size_hints(window);
    ASSERT_EQ(hints.size(), 18u);
    const auto [min_width, min_height] = expected_min_size(1.0f);
    EXPECT_EQ(hints[0], 16u);  // PMinSize only
    EXPECT_EQ(hints[5], static_cast<std::uint32_t>(min_width));
    EXPECT_EQ(hints[6], static_cast<std::uint32_t>(min_height));
    EXPECT_GT(min_width, 300);

    const Image shot = client->grab(window);
    ASSERT_EQ(shot.width, 760) << "no screenshot";
    // Header: dark page, a one-pixel separator in the muted colour on row 47.
    EXPECT_EQ(shot.at(5, 5), dark_page);
    EXPECT_EQ(shot.count(dark_muted, 0, 47, 760, 48), 760);
    EXPECT_EQ(shot.at(5, 46), dark_page);
    // Five button faces 28 px wide from x = 572, 36 px apart, at y = 10.
    for (int x = 572; x <= 716; x += 36) {
        EXPECT_EQ(shot.at(x, 10), dark_button) << x;
        EXPECT_EQ(shot.at(x + 27, 37), dark_button) << x;
        EXPECT_EQ(shot.at(x - 1, 10), dark_page) << x;
        EXPECT_GT(shot.count(0xFFFFFF, x, 10, x + 28, 38), 10) << "icon of button at " << x;
    }
    // The title in white, the status line in grey, the report text below the header.
    EXPECT_GT(shot.count(0xFFFFFF, 16, 4, 300, 28), 100);
    EXPECT_GT(644 * 610 - shot.count(dark_page, 56, 60, 700, 670), 2000);
    // The SYSTEM icon (a white monitor) in the icon column; nothing in the left margin.
    EXPECT_GT(shot.count(0xFFFFFF, 20, 56, 44, 90), 60);
    EXPECT_EQ(shot.count(dark_page, 0, 48, 16, 680), 16 * 632);

    keys(window, "q");
    expect_clean_exit(program);
}

TEST_F(X11Window, KeysThemeDetailAboutSaveScrollAndQuit) {
    Program program(server->display(), {});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    const Image first = client->grab(window);

    // b: the light theme turns the page white; b again: dark.
    keys(window, "b");
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, light_page));
    EXPECT_TRUE(client->wait_pixel(window, 8, 400, light_page));
    // The second b is a synthetic event (XSendEvent), as test tools and some input methods send.
    ASSERT_EQ(
        run_on_display(server->display(), "xdotool key --window " + std::to_string(window) + " b"),
        0);
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, dark_page));

    // d: the detail document (longer: a scrollbar thumb appears at the top right).
    const Image summary_shown = client->grab(window);
    keys(window, "d");
    const auto detail = client->wait_change(window, summary_shown);
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->at(754, 52), dark_thumb);
    EXPECT_NE(detail->at(754, 677), dark_thumb);
    // End moves the thumb to the bottom, Home back to the top.
    keys(window, "End");
    EXPECT_TRUE(client->wait_pixel(window, 754, 677, dark_thumb));
    EXPECT_NE(client->grab(window).at(754, 52), dark_thumb);
    keys(window, "Home");
    EXPECT_TRUE(client->wait_pixel(window, 754, 52, dark_thumb));
    // d again: the summary exactly as at the start.
    const Image detail_shown = client->grab(window);
    keys(window, "d");
    const auto summary = client->wait_change(window, detail_shown);
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->pixels == first.pixels) << "d twice did not restore the first frame";

    // i: the About card dims the page; Escape closes it.
    keys(window, "i");
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, blend_pixel(dark_page, 0, 120)));
    keys(window, "Escape");
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, dark_page));

    // s: the report is saved into HOME and the status line says so.
    const Image before_save = client->grab(window);
    keys(window, "s");
    const auto saved = client->wait_change(window, before_save);
    ASSERT_TRUE(saved);
    bool status_changed = false;
    for (int y = 28; y < 47 && !status_changed; ++y) {
        for (int x = 16; x < 560 && !status_changed; ++x) {
            status_changed = saved->at(x, y) != before_save.at(x, y);
        }
    }
    EXPECT_TRUE(status_changed);
    const std::string file = program.home.path() + "/forge-nadrel.txt";
    EXPECT_TRUE(read_file(file).starts_with(title_line)) << file;

    keys(window, "q");
    expect_clean_exit(program);
}

TEST_F(X11Window, PointerClicksAButtonDragsTheThumbAndTurnsTheWheel) {
    Program program(server->display(), {"--detail"});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    const std::string on = " --window " + std::to_string(window) + " ";
    // The Theme button (third from the right).
    ASSERT_EQ(run_on_display(server->display(), "xdotool mousemove" + on + "658 24 click 1"), 0);
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, light_page));
    // Drag the thumb from the top of the strip to the bottom.
    ASSERT_EQ(run_on_display(server->display(), "xdotool mousemove" + on +
                                                    "754 60 mousedown 1 mousemove" + on +
                                                    "754 679 mouseup 1"),
              0);
    EXPECT_TRUE(client->wait_pixel(window, 754, 677, light_thumb));
    EXPECT_NE(client->grab(window).at(754, 52), light_thumb);
    // The wheel up scrolls back by one step: the thumb leaves the bottom.
    const Image bottom = client->grab(window);
    ASSERT_FALSE(bottom.pixels.empty());
    ASSERT_EQ(run_on_display(server->display(), "xdotool mousemove" + on + "400 400 click 4"), 0);
    const auto up = client->wait_change(window, bottom);
    ASSERT_TRUE(up);
    EXPECT_NE(up->at(754, 677), light_thumb);

    // A client message of the wrong format is ignored; WM_DELETE_WINDOW ends the program.
    client->send_message(window, 8, "WM_PROTOCOLS", "WM_DELETE_WINDOW");
    client->send_message(window, 32, "WM_NAME", "WM_DELETE_WINDOW");
    EXPECT_FALSE(program.process->wait(milliseconds(300)));
    client->send_message(window, 32, "WM_PROTOCOLS", "WM_DELETE_WINDOW");
    expect_clean_exit(program);
}

// The window's clipboard as xclip reads it, for one target.
std::string paste(const std::string& display, const std::string& dir, const std::string& target) {
    const std::string file = dir + "/.paste-" + target;
    if (run_on_display(display, "sh -c 'xclip -o -selection clipboard -target " + target + " > " +
                                    file + "'") != 0) {
        return "(xclip failed)";
    }
    return read_file(file);
}

TEST_F(X11Window, BodyTextOnAGridLongStatusCutAndCopyServedToXclip) {
    if (run_on_display(server->display(), "xclip -version") != 0) {
        GTEST_SKIP() << "xclip is not installed";
    }
    // A HOME so deep that "Saved to ..." would run under the buttons.
    Program program(server->display(), {}, {}, std::string(150, 'h'));
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);

    // s: saved; the status line is cut 8 pixels before the first button (x = 572).
    const Image before_save = client->grab(window);
    keys(window, "s");
    const auto saved = client->wait_change(window, before_save);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->count(dark_page, 564, 26, 572, 46), 8 * 20);
    EXPECT_NE(saved->count(dark_page, 500, 26, 564, 46), 64 * 20);
    const std::string file = read_file(program.home_dir + "/forge-nadrel.txt");
    ASSERT_TRUE(file.starts_with(title_line));

    // c: the same text on the CLIPBOARD, in every target xclip asks for.
    keys(window, "c");
    const std::string display = server->display();
    EXPECT_EQ(paste(display, program.home.path(), "UTF8_STRING"), file);
    EXPECT_EQ(paste(display, program.home.path(), "TEXT"), file);
    EXPECT_EQ(paste(display, program.home.path(), "STRING"), latin1_from_utf8(file));
    EXPECT_EQ(paste(display, program.home.path(), "TARGETS"),
              "TARGETS\nUTF8_STRING\nTEXT\nSTRING\n");

    // The colons of the Field rows on screen sit in one 8-pixel column (x 200 ... 207: 56 + 18
    // cells), with nothing in the spaces either side. Sections start 33 pixels below the last
    // row (64 for the first); rows start 32 below the title's top and are 17 apart.
    const Image shot = client->grab(window);
    std::istringstream lines(file);
    std::string line;
    int top = 64 - 33;
    int checked = 0;
    bool rows = false;
    while (std::getline(lines, line) && top < 680 - 17 - 33) {
        if (line.starts_with("-----")) {
            top += 33 + 32;
            rows = true;
            continue;
        }
        if (!rows || line.empty()) {
            rows = false;
            continue;
        }
        ASSERT_LE(line.size(), 2u + 84u) << "a wrapped line would move the rows below it";
        const int row_top = top;
        top += 17;
        const bool ascii = std::all_of(line.begin(), line.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x80;
        });
        if (!ascii || line.size() < 23 || line.substr(19, 3) != " : " || row_top + 17 > 680) {
            continue;
        }
        EXPECT_LT(shot.count(dark_page, 200, row_top, 208, row_top + 17), 8 * 17) << line;
        EXPECT_EQ(shot.count(dark_page, 194, row_top, 199, row_top + 17), 5 * 17) << line;
        EXPECT_EQ(shot.count(dark_page, 209, row_top, 214, row_top + 17), 5 * 17) << line;
        ++checked;
    }
    EXPECT_GE(checked, 10);

    // d: the detail document's long lines stay out of the scrollbar strip (x 748 ... 759).
    keys(window, "d");
    const auto detail = client->wait_change(window, shot);
    ASSERT_TRUE(detail);
    EXPECT_EQ(
        detail->count(dark_page, 748, 48, 760, 680) + detail->count(dark_thumb, 748, 48, 760, 680),
        12 * 632);

    keys(window, "q");
    EXPECT_EQ(program.process->wait(milliseconds(10000)), 0);
}

// --sanitize reaches the window: the saved file (and so the copy, the same text) names no host.
TEST_F(X11Window, SanitizedWindowSavesNoHostName) {
    Program program(server->display(), {"--sanitize"});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    const Image before_save = client->grab(window);
    keys(window, "s");
    ASSERT_TRUE(client->wait_change(window, before_save));
    const std::string file = read_file(program.home.path() + "/forge-nadrel.txt");
    EXPECT_TRUE(file.starts_with(title_line)) << file;
    EXPECT_NE(file.find("  Name              : <hidden>\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("forge"), std::string::npos) << file;
    keys(window, "q");
    EXPECT_EQ(program.process->wait(milliseconds(10000)), 0);
    EXPECT_EQ(program.out(), "");
    // The one line that says what the sanitizer hid: the monitors' serials beside the name,
    // and the storage's UUIDs, labels and the user's name in mount points.
    EXPECT_EQ(program.err(),
              "nadrel: hid 18 values: host name, 2 serials, 10 UUIDs, 2 labels, 3 user names\n");
}

TEST_F(X11Window, AKeyboardMappingChangeIsReadAgain) {
    Program program(server->display(), {});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    // The key in the US "o" position (keycode 32) now gives "i" and opens the About card; the
    // key that gave "i" (31) gives nothing, so xdotool finds "i" only on keycode 32.
    client->set_keysym(31, 0);
    client->set_keysym(32, 0x69);
    keys(window, "i");
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, blend_pixel(dark_page, 0, 120)));
    keys(window, "Escape q");
    expect_clean_exit(program);
}

TEST_F(X11Window, GdkScaleTwoDoublesTheWindow) {
    Program program(server->display(), {}, {"GDK_SCALE=2"});
    // At scale 2 the separator is two rows, 94 and 95.
    const xcb_window_t window = open(program, 95);
    ASSERT_NE(window, 0u);
    EXPECT_EQ(client->size(window), (std::pair<int, int>{1520, 1360}));
    const auto hints = client->size_hints(window);
    ASSERT_EQ(hints.size(), 18u);
    const auto [min_width, min_height] = expected_min_size(2.0f);
    EXPECT_EQ(hints[5], static_cast<std::uint32_t>(min_width));
    EXPECT_EQ(hints[6], static_cast<std::uint32_t>(min_height));
    const Image shot = client->grab(window);
    ASSERT_EQ(shot.width, 1520);
    EXPECT_EQ(shot.at(5, 94), dark_muted);
    EXPECT_EQ(shot.at(5, 93), dark_page);
    EXPECT_EQ(shot.at(1144, 20), dark_button);  // Detail button: x = 1520 - 32 - 4 x 72 - 56
    client->send_message(window, 32, "WM_PROTOCOLS", "WM_DELETE_WINDOW");
    expect_clean_exit(program);
}

TEST_F(X11Window, WindowManagerCloseEndsTheProgram) {
    if (run_shell("command -v openbox >/dev/null && command -v wmctrl >/dev/null") != 0) {
        GTEST_SKIP() << "openbox or wmctrl is not installed";
    }
    TempDir wm_home;
    const std::string up = wm_home.path() + "/up";
    Process openbox(
        {"openbox", "--sm-disable", "--startup", "touch " + up},
        {"DISPLAY=" + server->display(), "HOME=" + wm_home.path(), "PATH=/usr/bin:/bin"});
    for (int i = 0; i < 500 && !std::filesystem::exists(up); ++i) {
        std::this_thread::sleep_for(milliseconds(20));
    }
    ASSERT_TRUE(std::filesystem::exists(up)) << "openbox did not start";
    Program program(server->display(), {});
    ASSERT_NE(open(program), 0u);
    ASSERT_EQ(run_on_display(server->display(),
                             "sh -c 'until wmctrl -l | grep -q Nadrel; do sleep 0.02; done'"),
              0);
    ASSERT_EQ(run_on_display(server->display(), "wmctrl -c Nadrel"), 0);
    expect_clean_exit(program);
    openbox.signal(SIGTERM);
    openbox.wait(milliseconds(5000));
}

TEST_F(X11Window, ALostServerEndsInThePrintedReport) {
    Program program(server->display(), {});
    ASSERT_NE(open(program), 0u);
    server->kill();
    EXPECT_EQ(program.process->wait(milliseconds(10000)), 0);
    EXPECT_TRUE(program.err().starts_with("nadrel: GUI unavailable (X11 connection error: "))
        << program.err();
    EXPECT_TRUE(program.out().starts_with(title_line));
}

TEST(X11Unusable, ADepth16ScreenOrNoServerFallsBackToPrinting) {
    if (!Xvfb::installed()) {
        GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb): no X server to test on";
    }
    Xvfb shallow("1024x768x16");
    ASSERT_TRUE(shallow.ready());
    const TempDir home;
    const std::vector<std::string> env{"HOME=" + home.path(),
                                       "NADREL_SYSROOT=" NADREL_FIXTURES_DIR "/intel-desktop"};
    auto with = [&](const std::string& display) {
        auto e = env;
        e.push_back("DISPLAY=" + display);
        return e;
    };
    const auto refused = run_nadrel({}, with(shallow.display()));
    EXPECT_EQ(refused.status, 0);
    EXPECT_EQ(refused.err,
              "nadrel: GUI unavailable (unsupported X visual (need a 32-bpp TrueColor display)); "
              "printing instead.\n");
    EXPECT_TRUE(refused.out.starts_with(title_line));

    // A display number nobody serves.
    const auto nowhere = run_nadrel({}, with(":4093"));
    EXPECT_EQ(nowhere.status, 0);
    EXPECT_TRUE(nowhere.err.starts_with("nadrel: GUI unavailable (cannot connect to X display: "))
        << nowhere.err;
    EXPECT_TRUE(nowhere.out.starts_with(title_line));
}

}  // namespace
}  // namespace nadrel::test

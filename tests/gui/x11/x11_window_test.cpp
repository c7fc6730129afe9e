// The program's window on a real X server (Xvfb): properties, the frame as the view renders
// it, keys through the server's mapping, pointer and wheel, the clipboard, scale, closing, and
// the fall-backs to printing when the server cannot be used or goes away. What the view does
// with a key or a click is the view's tests' business.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <thread>

#include "core/report/builder.h"
#include "gui/x11/x11_harness.h"
#include "linux/collect/collect.h"
#include "linux/gui/machine_host.h"
#include "linux/gui/view/view.h"
#include "linux/gui/x11/convert.h"
#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel::test {
namespace {

constexpr std::string_view title_line = "NADREL  -  System Report\n";
constexpr const char* machine = NADREL_FIXTURES_DIR "/intel-desktop";

// The view the program shows of the fixture machine, rendered here at a scale.
ReportView fixture_view(float scale) {
    std::optional<FontSet> fonts = load_font_set(font_file_reader());
    if (!fonts) {
        return {};
    }
    const SystemSnapshot snapshot = collect_snapshot(SysRoot(machine));
    ReportView view = make_view(build_report(snapshot, false), build_report(snapshot, true), "",
                                std::move(*fonts), nullptr);
    set_scale(view, scale);
    return view;
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
                                     std::string("NADREL_SYSROOT=") + machine,
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
        EXPECT_TRUE(client->wait_pixel(*window, 5, separator_row, dark_theme.muted))
            << "no first frame";
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

TEST_F(X11Window, MapsNamedWithSizeHintsAndShowsTheViewsFrame) {
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
    ReportView view = fixture_view(1);
    const auto hints = client->size_hints(window);
    ASSERT_EQ(hints.size(), 18u);
    EXPECT_EQ(hints[0], 16u);  // PMinSize only
    EXPECT_EQ(hints[5], static_cast<std::uint32_t>(min_size(view).first));
    EXPECT_EQ(hints[6], static_cast<std::uint32_t>(min_size(view).second));

    // Every pixel as the view renders it, but for the status line with the program's own stamp.
    const Image shot = client->grab(window);
    const Canvas frame = render(view);
    ASSERT_EQ(shot.width, frame.width());
    int differ = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const bool status = y >= 24 && y < 47 && x < 560;
            differ += !status && shot.at(x, y) != frame.pixel(x, y);
        }
    }
    EXPECT_EQ(differ, 0);

    keys(window, "q");
    expect_clean_exit(program);
}

TEST_F(X11Window, KeysAreReadThroughTheServersMapping) {
    Program program(server->display(), {});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    // b: the light theme; Shift does not change the key.
    keys(window, "shift+b");
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, light_theme.background));
    // A synthetic event (XSendEvent), as test tools and some input methods send it.
    ASSERT_EQ(
        run_on_display(server->display(), "xdotool key --window " + std::to_string(window) + " b"),
        0);
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, dark_theme.background));
    // A new layout: the key in the US "o" position (keycode 32) now gives "i" and opens the
    // About card; the key that gave "i" (31) gives nothing, so xdotool finds "i" only on 32.
    client->set_keysym(31, 0);
    client->set_keysym(32, 0x69);
    keys(window, "i");
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, blend_pixel(dark_theme.background, 0, 120)));
    keys(window, "Escape q");
    expect_clean_exit(program);
}

TEST_F(X11Window, PointerButtonsAndTheWindowManagersCloseMessage) {
    Program program(server->display(), {"--detail"});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    const std::string on = " --window " + std::to_string(window) + " ";
    // Button 1 on the Theme button (third from the right).
    ASSERT_EQ(run_on_display(server->display(), "xdotool mousemove" + on + "658 24 click 1"), 0);
    EXPECT_TRUE(client->wait_pixel(window, 5, 5, light_theme.background));
    // The wheel down (button 5) moves the thumb off the top, up (button 4) back.
    const Image top = client->grab(window);
    ASSERT_EQ(run_on_display(server->display(), "xdotool mousemove" + on + "400 400 click 5"), 0);
    const auto down = client->wait_change(window, top);
    ASSERT_TRUE(down);
    EXPECT_NE(down->at(754, 52), light_theme.thumb);
    ASSERT_EQ(run_on_display(server->display(), "xdotool click 4"), 0);
    EXPECT_TRUE(client->wait_pixel(window, 754, 52, light_theme.thumb));

    // A client message of the wrong format or type is ignored; WM_DELETE_WINDOW ends the program.
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

TEST_F(X11Window, CopyServesTheSavedTextInEveryTarget) {
    if (run_on_display(server->display(), "xclip -version") != 0) {
        GTEST_SKIP() << "xclip is not installed";
    }
    Program program(server->display(), {});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    const Image before_save = client->grab(window);
    keys(window, "s");
    ASSERT_TRUE(client->wait_change(window, before_save));
    const std::string file = read_file(program.home_dir + "/forge-nadrel.txt");
    ASSERT_TRUE(file.starts_with(title_line));

    keys(window, "c");
    const std::string display = server->display();
    EXPECT_EQ(paste(display, program.home.path(), "UTF8_STRING"), file);
    EXPECT_EQ(paste(display, program.home.path(), "TEXT"), file);
    EXPECT_EQ(paste(display, program.home.path(), "STRING"), latin1_from_utf8(file));
    EXPECT_EQ(paste(display, program.home.path(), "TARGETS"),
              "TARGETS\nUTF8_STRING\nTEXT\nSTRING\n");
    keys(window, "q");
    EXPECT_EQ(program.process->wait(milliseconds(10000)), 0);
}

// --sanitize reaches the window: the saved file (and so the copy, the same text) names no host,
// nor does its name.
TEST_F(X11Window, SanitizedWindowSavesNoHostName) {
    Program program(server->display(), {"--sanitize"});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    const Image before_save = client->grab(window);
    keys(window, "s");
    ASSERT_TRUE(client->wait_change(window, before_save));
    const std::string file = read_file(program.home.path() + "/nadrel-report.txt");
    EXPECT_TRUE(file.starts_with(title_line)) << file;
    EXPECT_NE(file.find("  Name              : <hidden>\n"), std::string::npos) << file;
    EXPECT_EQ(file.find("forge"), std::string::npos) << file;
    EXPECT_FALSE(std::filesystem::exists(program.home.path() + "/forge-nadrel.txt"));
    keys(window, "q");
    EXPECT_EQ(program.process->wait(milliseconds(10000)), 0);
    EXPECT_EQ(program.out(), "");
    // The one line that says what the sanitizer hid: the monitors' serials beside the name,
    // and the storage's UUIDs, labels and the user's name in mount points.
    EXPECT_EQ(program.err(),
              "nadrel: hid 20 values: host name, 2 serials, 10 UUIDs, 4 labels, 3 user names\n");
}

TEST_F(X11Window, GdkScaleOrElseXftDpiScalesTheWindow) {
    struct Case {
        std::vector<std::string> env;
        std::string resources;
        float scale;
    };
    const Case cases[] = {
        {{"GDK_SCALE=2"}, "", 2.0f},
        {{}, "Xft.antialias:\t1\nXft.dpi:\t192\n", 2.0f},  // as desktops set it, with xrdb
        {{"GDK_SCALE=1"}, "Xft.dpi:\t192\n", 1.0f},        // the variable wins
    };
    for (const Case& c : cases) {
        client->set_resources(c.resources);
        Program program(server->display(), {}, c.env);
        // The separator is round(scale) rows at the bottom of the header.
        const xcb_window_t window = open(program, c.scale == 2.0f ? 95 : 47);
        ASSERT_NE(window, 0u);
        const auto size = client->size(window);
        EXPECT_EQ(size,
                  (std::pair{static_cast<int>(760 * c.scale), static_cast<int>(680 * c.scale)}))
            << c.resources;
        const ReportView view = fixture_view(c.scale);
        const auto hints = client->size_hints(window);
        ASSERT_EQ(hints.size(), 18u);
        EXPECT_EQ(hints[5], static_cast<std::uint32_t>(min_size(view).first));
        EXPECT_EQ(hints[6], static_cast<std::uint32_t>(min_size(view).second));
        client->send_message(window, 32, "WM_PROTOCOLS", "WM_DELETE_WINDOW");
        expect_clean_exit(program);
    }
}

TEST_F(X11Window, ADragBurstPresentsAFewFramesNotOneEach) {
    Program program(server->display(), {"--detail"});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(client->watch_drawing(window)) << "no DAMAGE extension";
    // Pressed on the thumb, then 50 motions down the strip, all queued at once.
    std::vector<int> ys;
    for (int i = 1; i <= 50; ++i) {
        ys.push_back(60 + 12 * i);
    }
    client->drag_burst(window, 754, 60, ys);
    EXPECT_TRUE(client->wait_pixel(window, 754, 677, dark_theme.thumb));
    const int frames = client->drawings(milliseconds(300));
    EXPECT_GE(frames, 1);
    EXPECT_LE(frames, 5) << "a frame for every motion";
    keys(window, "q");
    expect_clean_exit(program);
}

TEST_F(X11Window, TheServerClearsToThePageNotToBlack) {
    Program program(server->display(), {});
    const xcb_window_t window = open(program);
    ASSERT_NE(window, 0u);
    // What the server paints before a frame (after a resize, an expose) is the theme's page,
    // and a resize keeps the old pixels where they are.
    EXPECT_EQ(client->bit_gravity(window), XCB_GRAVITY_NORTH_WEST);
    for (const Theme& theme : {dark_theme, light_theme}) {
        EXPECT_TRUE(client->wait_pixel(window, 5, 5, theme.background));
        client->clear(window);
        EXPECT_EQ(client->grab(window).count(theme.background, 0, 0, 760, 680), 760 * 680);
        keys(window, "b");
    }
    keys(window, "q");
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
    const auto with = [&](const std::string& display) {
        return std::vector<std::string>{
            "HOME=" + home.path(), std::string("NADREL_SYSROOT=") + machine, "DISPLAY=" + display};
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

// The Wayland window against a scripted compositor: what it binds, how it sets its window up,
// how it paces and damages frames, where it sends cursor shapes, and what it does with odd events.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <wayland-server-protocol.h>

#include <algorithm>
#include <cstdio>

#include "gui/wayland/test_compositor.h"
#include "linux/gui/view/view.h"
#include "support/run.h"

namespace nadrel::testing {
namespace {

using std::chrono::milliseconds;

std::vector<GlobalSpec> full_globals(std::uint32_t compositor_version = 5) {
    return {{"wl_compositor", compositor_version},
            {"wl_shm", 1},
            {"xdg_wm_base", 5},
            {"wl_seat", 8},
            {"wl_output", 4},
            {"zxdg_decoration_manager_v1", 1},
            {"wp_cursor_shape_manager_v1", 1}};
}

// Starts nadrel, waits for its window set-up and shows the window at 760 x 680.
void show(TestCompositor& tc) {
    tc.launch(NADREL_BINARY);
    ASSERT_TRUE(tc.run_until([&] { return tc.seen("wl_surface.commit"); })) << tc.output("stderr");
    tc.configure(0, 0);
    ASSERT_TRUE(tc.run_until([&] { return tc.seen("wl_surface.attach"); }));
}

void quit(TestCompositor& tc) {
    wl_resource_post_event(tc.latest("xdg_toplevel"), 1);  // xdg_toplevel.close
    ASSERT_TRUE(tc.run_until([&] { return tc.exited(); }));
    EXPECT_EQ(tc.exit_status(), 0);
    EXPECT_EQ(tc.output("stdout"), "");
}

TEST(WaylandCompositor, BindsNoHigherThanOfferedAndSetsTheWindowUpInOrder) {
    auto globals = full_globals();
    globals.push_back({"wl_seat", 8});    // a second seat is ignored
    globals.push_back({"wl_output", 1});  // no scale events: not bound
    TestCompositor tc(globals);
    show(tc);
    std::vector<std::string> binds;
    for (const std::string& line : tc.requests()) {
        if (line.starts_with("bind "))
            binds.push_back(line);
    }
    std::sort(binds.begin(), binds.end());
    EXPECT_EQ(binds, (std::vector<std::string>{
                         "bind wl_compositor 4", "bind wl_output 4", "bind wl_seat 8",
                         "bind wl_shm 1", "bind wp_cursor_shape_manager_v1 1", "bind xdg_wm_base 1",
                         "bind zxdg_decoration_manager_v1 1"}));

    std::vector<std::string> setup;
    for (const std::string& line : tc.requests()) {
        if (!line.starts_with("bind ") && !line.starts_with("wl_seat.") &&
            !line.starts_with("wp_cursor_shape_manager_v1.")) {
            setup.push_back(line);
        }
        if (line == "wl_surface.commit")
            break;
    }
    ASSERT_EQ(setup.size(), 9u);
    EXPECT_EQ(setup[0], "wl_compositor.create_surface new wl_surface");
    EXPECT_EQ(setup[1], "xdg_wm_base.get_xdg_surface new xdg_surface wl_surface");
    EXPECT_EQ(setup[2], "xdg_surface.get_toplevel new xdg_toplevel");
    EXPECT_EQ(setup[3], "xdg_toplevel.set_title \"Nadrel\"");
    EXPECT_EQ(setup[4], "xdg_toplevel.set_app_id \"nadrel\"");
    EXPECT_TRUE(setup[5].starts_with("xdg_toplevel.set_min_size ")) << setup[5];
    EXPECT_EQ(setup[6],
              "zxdg_decoration_manager_v1.get_toplevel_decoration new zxdg_toplevel_decoration_v1 "
              "xdg_toplevel");
    EXPECT_EQ(setup[7], "zxdg_toplevel_decoration_v1.set_mode 2");
    EXPECT_EQ(setup[8], "wl_surface.commit");
    // The first frame: 0 x 0 kept the 760 x 680 start size.
    EXPECT_EQ(tc.attached_size(), (std::pair{760, 680}));
    quit(tc);
}

TEST(WaylandCompositor, OlderVersionsAreBoundAsOffered) {
    TestCompositor tc({{"wl_compositor", 3}, {"wl_shm", 1}, {"xdg_wm_base", 1}, {"wl_seat", 5}});
    show(tc);
    EXPECT_TRUE(tc.seen("bind wl_compositor 3"));
    EXPECT_TRUE(tc.seen("bind wl_seat 5"));
    // Before wl_surface version 4 there is no damage_buffer.
    EXPECT_TRUE(tc.seen("wl_surface.damage 0 0 760 680"));
    EXPECT_FALSE(tc.seen("wl_surface.damage_buffer"));
    // Without a decoration manager the window draws its own Close button.
    EXPECT_FALSE(tc.seen("zxdg_decoration_manager_v1"));
    quit(tc);
}

TEST(WaylandCompositor, MissingGlobalsFallBackWithTheReason) {
    struct Case {
        std::vector<GlobalSpec> globals;
        std::string reason;
    };
    const std::vector<Case> cases{
        {{{"wl_compositor", 4}, {"wl_shm", 1}}, "compositor lacks wl_compositor/xdg_wm_base"},
        {{{"xdg_wm_base", 1}, {"wl_shm", 1}}, "compositor lacks wl_compositor/xdg_wm_base"},
        {{{"wl_compositor", 4}, {"xdg_wm_base", 1}}, "compositor lacks wl_shm"}};
    for (const Case& c : cases) {
        TestCompositor tc(c.globals);
        tc.launch(NADREL_BINARY);
        ASSERT_TRUE(tc.run_until([&] { return tc.exited(); }));
        EXPECT_EQ(tc.exit_status(), 0);
        const std::string err = tc.output("stderr");
        EXPECT_TRUE(err.starts_with("nadrel: GUI unavailable (" + c.reason + "; ")) << err;
        EXPECT_NE(tc.output("stdout").find("NADREL  -  System Report"), std::string::npos);
    }
}

TEST(WaylandCompositor, ASizeBelowTheMinimumIsTakenOnlyWhenImposed) {
    TestCompositor tc(full_globals());
    show(tc);
    std::pair<int, int> least;
    for (const std::string& line : tc.requests()) {
        std::sscanf(line.c_str(), "xdg_toplevel.set_min_size %d %d", &least.first, &least.second);
    }
    ASSERT_GT(least.first, 400);
    // Floating (no state): the suggestion is raised to the minimum.
    tc.configure(200, 150);
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 2; }));
    EXPECT_EQ(tc.attached_size(), least);
    // Maximized (likewise fullscreen or tiled): the compositor decides, the header fits itself.
    tc.configure(200, 150, {1});
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 3; }));
    EXPECT_EQ(tc.attached_size(), (std::pair{200, 150}));
    quit(tc);
}

TEST(WaylandCompositor, FramesWaitForTheCallbackAndTwoBuffersTakeTurns) {
    TestCompositor tc(full_globals());
    show(tc);
    EXPECT_TRUE(tc.seen("wl_surface.damage_buffer 0 0 760 680"));
    wl_resource* first = tc.attached_buffer();
    ASSERT_NE(first, nullptr);
    // Changes while the frame is on its way only ask for the next one.
    tc.key(48, true);  // B: theme
    tc.key(48, false);
    tc.run_for(milliseconds(300));
    EXPECT_EQ(tc.count("wl_surface.attach"), 1u);
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 2; }));
    wl_resource* second = tc.attached_buffer();
    EXPECT_NE(second, first);  // the first is still held by the compositor
    EXPECT_EQ(tc.attached_pixel(4, 300), light_theme.background);  // light page
    tc.release(first);
    tc.key(48, true);
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 3; }));
    EXPECT_EQ(tc.attached_buffer(), first);
    EXPECT_EQ(tc.attached_pixel(4, 300), dark_theme.background);  // dark again
    EXPECT_EQ(tc.count("wl_shm_pool.create_buffer"), 2u);
    quit(tc);
}

TEST(WaylandCompositor, PointerImagesOnChangeAndAgainAfterEntering) {
    // With cursor shapes the compositor draws them; without, each is an image from the user's
    // theme on a surface of the window's own.
    for (const bool shapes : {true, false}) {
        auto globals = full_globals();
        std::erase_if(globals, [&](const GlobalSpec& g) {
            return g.interface == "zxdg_decoration_manager_v1" ||  // undecorated: resize edges
                   (!shapes && g.interface == "wp_cursor_shape_manager_v1");
        });
        TestCompositor tc(globals);
        show(tc);
        const std::string request =
            shapes ? "wp_cursor_shape_device_v1.set_shape" : "wl_pointer.set_cursor";
        tc.pointer_enter(300, 300);
        ASSERT_TRUE(tc.run_until([&] { return tc.count(request) == 1; }));
        tc.pointer_motion(301, 300);
        tc.pointer_motion(300, 20);  // header: still the default arrow
        tc.pointer_motion(759, 20);  // right edge in the header: e_resize
        ASSERT_TRUE(tc.run_until([&] { return tc.count(request) == 2; }));
        tc.pointer_motion(0, 0);  // top-left corner: nw_resize
        tc.pointer_leave();
        tc.pointer_enter(0, 0);  // same shape, sent again after entering
        ASSERT_TRUE(tc.run_until([&] { return tc.count(request) == 4; }));
        tc.run_for(milliseconds(100));
        std::vector<std::string> sent;
        for (const std::string& line : tc.requests()) {
            if (line.starts_with(request)) {
                sent.push_back(line.substr(line.rfind(' ') + 1));
                EXPECT_TRUE(shapes || line.find(" wl_surface ") != std::string::npos) << line;
            }
        }
        if (shapes) {
            EXPECT_EQ(sent, (std::vector<std::string>{"1", "18", "21", "21"}));
        } else {
            EXPECT_EQ(sent.size(), 4u);
            EXPECT_GE(tc.count("wl_surface.attach"), 1u + 4u);  // the frame and four images
        }
        quit(tc);
    }
}

TEST(WaylandCompositor, DecorationModeSwitchTogglesTheCloseButton) {
    TestCompositor tc(full_globals());
    show(tc);
    // With Close the header buttons start 36 pixels further left, over (540, 24).
    EXPECT_EQ(tc.attached_pixel(540, 24), dark_theme.background);
    wl_resource_post_event(tc.latest("zxdg_toplevel_decoration_v1"), 0, 1u);  // client_side
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 2; }));
    EXPECT_NE(tc.attached_pixel(540, 24), dark_theme.background);
    wl_resource_post_event(tc.latest("zxdg_toplevel_decoration_v1"), 0, 2u);  // server_side
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 3; }));
    EXPECT_EQ(tc.attached_pixel(540, 24), dark_theme.background);
    quit(tc);
}

TEST(WaylandCompositor, OutputScaleFollowsTheSurfaceAndIgnoresNonsense) {
    struct Case {
        std::int32_t scale;
        std::pair<std::int32_t, std::int32_t> size;
    };
    for (const Case& c : {Case{2, {1520, 1360}}, Case{0, {760, 680}}, Case{-1, {760, 680}}}) {
        TestCompositor tc(full_globals());
        tc.output_scale = c.scale;
        show(tc);
        // The first frame already at the output's scale, before the surface is on it.
        EXPECT_EQ(tc.attached_size(), c.size) << c.scale;
        tc.surface_enter_output();
        // A theme switch forces a frame, whatever the scale did.
        tc.key(48, true);
        tc.frame_done();
        ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 2; }));
        EXPECT_EQ(tc.attached_size(), c.size) << c.scale;
        EXPECT_EQ(tc.seen("wl_surface.set_buffer_scale 2"), c.scale == 2);
        if (c.scale == 2) {
            wl_resource_post_event(tc.latest("wl_surface"), WL_SURFACE_LEAVE,
                                   tc.latest("wl_output"));
            tc.frame_done();
            ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 3; }));
            EXPECT_TRUE(tc.seen("wl_surface.set_buffer_scale 1"));
            EXPECT_EQ(tc.attached_size(), (std::pair{760, 680}));
        }
        quit(tc);
    }
}

TEST(WaylandCompositor, FractionalScaleDrawsAScaledBufferShownAtTheLogicalSize) {
    auto globals = full_globals();
    globals.push_back({"wp_fractional_scale_manager_v1", 1});
    globals.push_back({"wp_viewporter", 1});
    TestCompositor tc(globals);
    show(tc);
    ASSERT_TRUE(tc.seen("wp_fractional_scale_manager_v1.get_fractional_scale"));
    ASSERT_TRUE(tc.seen("wp_viewporter.get_viewport"));
    EXPECT_EQ(tc.attached_size(), (std::pair{760, 680}));
    wl_resource_post_event(tc.latest("wp_fractional_scale_v1"), 0, 180u);  // 1.5
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 2; }));
    EXPECT_EQ(tc.attached_size(), (std::pair{1140, 1020}));
    EXPECT_TRUE(tc.seen("wp_viewport.set_destination 760 680"));
    EXPECT_FALSE(tc.seen("wl_surface.set_buffer_scale"));
    // The header separator: round(1.5) = 2 rows at the bottom of a 72-row header.
    EXPECT_EQ(tc.attached_pixel(400, 70), dark_theme.muted);
    EXPECT_EQ(tc.attached_pixel(400, 69), dark_theme.background);
    // A configure to another logical size keeps the scale; 1.25 rounds the sides.
    tc.configure(801, 601);
    wl_resource_post_event(tc.latest("wp_fractional_scale_v1"), 0, 150u);
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.attached_size() == std::pair{1001, 751}; }));
    EXPECT_TRUE(tc.seen("wp_viewport.set_destination 801 601"));
    quit(tc);
}

TEST(WaylandCompositor, TooltipAppearsAfterTheHoverDelay) {
    TestCompositor tc(full_globals());
    show(tc);
    tc.pointer_enter(650, 20);  // the Theme button
    tc.frame_done();
    ASSERT_TRUE(tc.run_until([&] { return tc.count("wl_surface.attach") == 2; }));
    EXPECT_EQ(tc.attached_pixel(669, 44), dark_theme.background);  // hover face only
    tc.frame_done();
    tc.run_for(milliseconds(300));
    EXPECT_EQ(tc.count("wl_surface.attach"), 2u);
    // The loop wakes by itself when the delay is over: the tooltip box under the button.
    ASSERT_TRUE(
        tc.run_until([&] { return tc.count("wl_surface.attach") == 3; }, milliseconds(2000)));
    EXPECT_EQ(tc.attached_pixel(669, 44), dark_theme.button);  // the tooltip face
    quit(tc);
}

TEST(WaylandCompositor, CopyOffersTheReportAndWritesItWithoutBlocking) {
    auto globals = full_globals();
    globals.push_back({"wl_data_device_manager", 3});
    // The detail document of a fixture machine: longer than the reader's pipe holds.
    const std::string machine = "NADREL_SYSROOT=" NADREL_FIXTURES_DIR "/intel-desktop";
    ::setenv("NADREL_SYSROOT", NADREL_FIXTURES_DIR "/intel-desktop", 1);
    TestCompositor tc(globals);
    show(tc);
    ::unsetenv("NADREL_SYSROOT");
    ASSERT_TRUE(tc.run_until([&] { return tc.seen("wl_data_device_manager.get_data_device"); }));
    tc.key(32, true);  // D
    tc.key(46, true);  // C
    ASSERT_TRUE(tc.run_until([&] { return tc.seen("wl_data_device.set_selection"); }));
    EXPECT_TRUE(tc.seen("wl_data_source.offer \"text/plain;charset=utf-8\""));
    EXPECT_TRUE(tc.seen("wl_data_source.offer \"text/plain\""));

    // A reader that takes the text in small bites while the window keeps answering.
    int pipe_fds[2];
    ASSERT_EQ(pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK), 0);
    ASSERT_EQ(fcntl(pipe_fds[1], F_SETPIPE_SZ, 4096), 4096);  // the text needs several rounds
    wl_resource_post_event(tc.latest("wl_data_source"), WL_DATA_SOURCE_SEND, "text/plain",
                           pipe_fds[1]);
    close(pipe_fds[1]);
    std::string text;
    bool ended = false;
    ASSERT_TRUE(tc.run_until([&] {
        char chunk[512];
        const ssize_t n = read(pipe_fds[0], chunk, sizeof chunk);
        if (n > 0) {
            text.append(chunk, static_cast<std::size_t>(n));
        }
        ended = n == 0;
        return ended;
    }));
    close(pipe_fds[0]);
    // The text Save writes: the title block, then the report as --print shows it.
    const test::RunResult printed =
        test::run_nadrel({"--print", "--detail"}, {"PATH=/usr/bin:/bin", machine});
    const auto without_stamp = [](const std::string& s) {
        const std::size_t line2 = s.find('\n') + 1;
        return s.substr(0, line2) + s.substr(s.find('\n', line2));
    };
    EXPECT_GT(text.size(), 4096u);
    EXPECT_TRUE(text.starts_with("NADREL  -  System Report\nGenerated ")) << text.substr(0, 80);
    EXPECT_EQ(without_stamp(text), without_stamp(printed.out));
    quit(tc);
}

}  // namespace
}  // namespace nadrel::testing

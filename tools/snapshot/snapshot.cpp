// Developer tool: renders the report view of this machine (or the one under NADREL_SYSROOT)
// to a PNG file, in any state the window can show, without a display server.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "core/report/builder.h"
#include "linux/collect/collect.h"
#include "linux/gui/machine_host.h"
#include "linux/gui/view/view.h"
#include "png.h"

using namespace nadrel;

namespace {

constexpr std::string_view usage =
    "usage: nadrel-snapshot OUT.png [--size WxH] [--scale S] [--light] [--detail]\n"
    "       [--scroll PIXELS|end] [--hover detail|live|theme|save|info|close] [--about]\n"
    "       [--live] [--close-button] [--stamp TEXT] [--status TEXT]\n";

std::optional<ButtonKind> kind_named(std::string_view name) {
    const std::pair<std::string_view, ButtonKind> names[] = {
        {"detail", ButtonKind::Detail}, {"live", ButtonKind::Live}, {"theme", ButtonKind::Theme},
        {"save", ButtonKind::Save},     {"info", ButtonKind::Info}, {"close", ButtonKind::Close}};
    for (const auto& [n, k] : names) {
        if (n == name) {
            return k;
        }
    }
    return std::nullopt;
}

int fail(std::string_view message) {
    std::fprintf(stderr, "nadrel-snapshot: %.*s\n", static_cast<int>(message.size()),
                 message.data());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0].starts_with("-")) {
        std::fputs(std::string(usage).c_str(), stderr);
        return 2;
    }
    auto fonts = load_font_set(font_file_reader());
    if (!fonts) {
        return fail(no_font_error);
    }
    // Like the program: this machine, or the captured one NADREL_SYSROOT names.
    const char* sysroot = std::getenv("NADREL_SYSROOT");
    const SysRoot root = sysroot != nullptr ? SysRoot(sysroot) : SysRoot();
    const SystemSnapshot snapshot = collect_snapshot(root);
    std::string stamp = stamp_text(make_stamp(std::time(nullptr)));
    std::optional<std::string> status;
    int width = default_view_width;
    int height = default_view_height;
    float scale = 1;
    bool light = false, detail = false, about = false, live = false, close = false;
    std::string scroll = "0";
    std::optional<ButtonKind> hover;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--size" && has_value) {
            if (std::sscanf(args[++i].c_str(), "%dx%d", &width, &height) != 2) {
                return fail("bad size");
            }
        } else if (a == "--scale" && has_value) {
            scale = std::strtof(args[++i].c_str(), nullptr);
        } else if (a == "--scroll" && has_value) {
            scroll = args[++i];
        } else if (a == "--hover" && has_value) {
            hover = kind_named(args[++i]);
            if (!hover) {
                return fail("unknown button");
            }
        } else if (a == "--stamp" && has_value) {
            stamp = args[++i];
        } else if (a == "--status" && has_value) {
            status = args[++i];
        } else if (a == "--light") {
            light = true;
        } else if (a == "--detail") {
            detail = true;
        } else if (a == "--about") {
            about = true;
        } else if (a == "--live") {
            live = true;
        } else if (a == "--close-button") {
            close = true;
        } else {
            std::fputs(std::string(usage).c_str(), stderr);
            return 2;
        }
    }

    ReportView view = make_view(build_report(snapshot, false), build_report(snapshot, true), stamp,
                                *fonts, std::make_shared<MachineHost>(root, std::nullopt, false));
    const Instant now = steady_now();
    view.clock = [now] { return now; };
    set_scale(view, scale);
    resize(view, width, height);
    view.close_button = close;
    view.detail = detail;
    if (status) {
        view.status_text = *status;
    }
    if (light) {
        switch_theme(view);
    }
    if (scroll == "end") {
        render(view);
        on_key(view, ViewKey::End);
    } else {
        view.scroll_offset = std::atoi(scroll.c_str());
    }
    if (hover) {
        view.hover = *hover;
        view.hover_since = now - std::chrono::seconds(1);
    }
    view.info_open = about;
    if (live) {
        open_live(view);
    }
    const Failure failure = write_png(render(view), args[0]);
    return failure ? fail(*failure) : 0;
}

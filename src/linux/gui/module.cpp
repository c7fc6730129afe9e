// The window module's entry point: rebuilds the documents, loads the fonts, builds the view and
// runs the display backend for this session (Wayland first, X11 when Wayland cannot start).
#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "linux/gui/draw/text.h"
#include "linux/gui/machine_host.h"
#include "linux/gui/view/view.h"
#include "linux/gui/wayland/wayland.h"
#include "linux/gui/window_abi.h"
#include "linux/gui/x11/x11.h"

namespace nadrel {
namespace {

// The view is the backend's until the window closes; Wayland hands it back when it could not
// start, for X11 to show.
Failure run_backend(ReportView& view, bool wayland, const std::optional<std::string>& gdk_scale,
                    PointerTheme pointer_theme) {
    const auto scale = gdk_scale ? std::optional<std::string_view>(*gdk_scale) : std::nullopt;
    if (!wayland) {
        return run_x11(view, scale);
    }
    WaylandOutcome outcome = run_wayland(std::move(view), std::move(pointer_theme));
    switch (outcome.kind) {
        case WaylandOutcome::Kind::Finished:
            return std::nullopt;
        case WaylandOutcome::Kind::Failed:
            return std::move(outcome.message);
        case WaylandOutcome::Kind::Unavailable:
            if (auto x11_error = run_x11(*outcome.view, scale)) {
                return outcome.message + "; " + *x11_error;
            }
            return std::nullopt;
    }
    return std::nullopt;
}

Failure run(const NadrelWindowArgs& args) {
    if (args.abi != window_abi) {
        return "window module missing: it was built for another version of nadrel";
    }
    std::optional<FontSet> fonts = load_font_set(font_file_reader());
    if (!fonts) {
        return std::string(no_font_error);
    }
    auto host = std::make_shared<MachineHost>(SysRoot(abi_string(args.root_dir).value_or("/")),
                                              abi_string(args.home), args.sanitize != 0);
    ReportView view =
        make_view(unflatten(args.summary), unflatten(args.detailed),
                  abi_string(args.stamp).value_or(""), std::move(*fonts), std::move(host));
    return run_backend(view, args.wayland_display != 0, abi_string(args.gdk_scale),
                       {abi_string(args.cursor_theme), abi_string(args.cursor_size)});
}

}  // namespace
}  // namespace nadrel

extern "C" __attribute__((visibility("default"))) int nadrel_run_window(
    const NadrelWindowArgs* args, char* error, size_t error_size) {
    nadrel::Failure failure;
    try {
        failure = args != nullptr ? nadrel::run(*args) : std::string("no arguments");
    } catch (const std::exception& e) {
        failure = e.what();
    }
    if (!failure)
        return 0;
    if (error != nullptr && error_size > 0) {
        const std::size_t n = std::min(failure->size(), error_size - 1);
        std::memcpy(error, failure->data(), n);
        error[n] = '\0';
    }
    return 1;
}

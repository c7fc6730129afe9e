// Window mode: the detail document, the fonts, the view and the choice of display backend.
#include "linux/window.h"

#include <cstdlib>

#include "core/report_builder.h"
#include "core/unicode.h"
#include "linux/gui/text.h"
#include "linux/gui/view.h"
#include "linux/gui/wayland.h"
#include "linux/gui/x11.h"

namespace nadrel {
namespace {

// The display backend for this session; the view is theirs until the window closes. Wayland
// comes first when offered; when it cannot start it hands the view back for X11.
std::optional<std::string> run_backend(ReportView& view) {
    const char* scale = std::getenv("GDK_SCALE");
    const auto gdk_scale = scale != nullptr ? std::optional<std::string_view>(scale) : std::nullopt;
    if (std::getenv("WAYLAND_DISPLAY") == nullptr) {
        return run_x11(view, gdk_scale);
    }
    WaylandOutcome outcome = run_wayland(std::move(view));
    switch (outcome.kind) {
        case WaylandOutcome::Kind::Finished:
            return std::nullopt;
        case WaylandOutcome::Kind::Failed:
            return std::move(outcome.message);
        case WaylandOutcome::Kind::Unavailable:
            if (auto x11_error = run_x11(*outcome.view, gdk_scale)) {
                return outcome.message + "; " + *x11_error;
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> run_window(const SystemSnapshot& snapshot, Report summary,
                                      const std::string& stamp) {
    Report detailed = build_report(snapshot, true);
    std::optional<FontSet> fonts = load_font_set();
    if (!fonts) {
        return std::string(no_font_error);
    }
    const char* home = std::getenv("HOME");
    std::optional<std::string> home_dir;
    if (home != nullptr && is_valid_utf8(home)) {
        home_dir = home;
    }
    ReportView view = make_view(std::move(summary), std::move(detailed), stamp, std::move(*fonts),
                                process_root(), std::move(home_dir));
    return run_backend(view);
}

}  // namespace nadrel

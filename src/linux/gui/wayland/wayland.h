// The report window on a Wayland compositor: xdg-shell toplevel, shared-memory frames paced by
// the compositor, keyboard and pointer from the first seat.
#pragma once

#include <optional>
#include <string>

#include "linux/gui/view/view.h"

namespace nadrel {

struct WaylandOutcome {
    enum class Kind {
        Finished,     // the user quit; the view is gone
        Failed,       // the window had been shown; the view is gone
        Unavailable,  // failed before the window was shown; the view comes back for X11
    };
    Kind kind = Kind::Finished;
    std::string message;
    std::optional<ReportView> view;  // only with Unavailable
};

// The user's pointer theme (XCURSOR_THEME, XCURSOR_SIZE), for compositors without cursor
// shapes, which leave the pointer's image to the window.
struct PointerTheme {
    std::optional<std::string> name;  // the default theme when absent
    std::optional<std::string> size;  // pixels at scale 1, as given; 24 when absent or unusable
};

// Shows the view until the user quits or the connection fails. Connects through the usual
// WAYLAND_SOCKET / WAYLAND_DISPLAY / XDG_RUNTIME_DIR rules.
WaylandOutcome run_wayland(ReportView view, PointerTheme pointer_theme = {});

}  // namespace nadrel

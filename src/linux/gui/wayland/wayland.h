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

// Shows the view until the user quits or the connection fails. Connects through the usual
// WAYLAND_SOCKET / WAYLAND_DISPLAY / XDG_RUNTIME_DIR rules.
WaylandOutcome run_wayland(ReportView view);

}  // namespace nadrel

// Window mode: the report in a window of its own, on Wayland or X11.
#pragma once

#include <optional>
#include <string>

#include "core/snapshot.h"

namespace nadrel {

// Runs the window until the user closes it; the reason when no window could be shown.
std::optional<std::string> run_window(const SystemSnapshot& snapshot, bool detail,
                                      const std::string& stamp);

}  // namespace nadrel

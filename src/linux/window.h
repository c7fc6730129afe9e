// Window mode: the report in a window of its own, on Wayland or X11.
#pragma once

#include <optional>
#include <string>

#include "core/report.h"
#include "core/snapshot.h"

namespace nadrel {

// Shows the summary document (built with the command-line detail flag) and the detail document
// of the same snapshot until the user closes the window. The reason when no window could be
// shown; the caller then prints the report. sanitize: the live card and the save status hide
// identifying values too (the snapshot given is already sanitized).
std::optional<std::string> run_window(const SystemSnapshot& snapshot, Report summary,
                                      const std::string& stamp, bool sanitize);

}  // namespace nadrel

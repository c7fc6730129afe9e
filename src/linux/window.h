// Window mode: the report in a window of its own, drawn by the window module. The module (the
// GUI, X11 and Wayland code and their libraries) is loaded only here, so the text paths never
// map a window library.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/report.h"
#include "linux/environment.h"
#include "linux/sysroot.h"

namespace nadrel {

// Shows the summary document (built with the command-line detail flag) and the detail document
// until the user closes the window. The reason when no window could be shown ("window module
// missing: ..." among them); the caller then prints the report.
std::optional<std::string> run_window(const Environment& env, const SysRoot& root,
                                      std::string_view stamp, const Report& summary,
                                      const Report& detailed);

}  // namespace nadrel

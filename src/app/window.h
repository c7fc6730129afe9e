// Window mode: the report in a window of its own, drawn by the window module. The module (the
// GUI, X11 and Wayland code and their libraries) is loaded only here, so the text paths never
// map a window library.
#pragma once

#include <string>
#include <string_view>

#include "app/environment.h"
#include "core/failure.h"
#include "core/report/report.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// What the window shows: the summary document (built with the command-line detail flag) and the
// detail document of the same snapshot, and the generation stamp. sanitize: the live card and
// the save status hide identifying values too (the documents are already sanitized).
struct WindowInput {
    const Report& summary;
    Report detailed;
    std::string_view stamp;
    bool sanitize = false;
    // A report read from a saved document: the title says so, this machine's live readout is
    // not offered, and a save is named after the report's host (empty: unknown).
    bool saved = false;
    std::string_view saved_host;
};

// Shows the documents until the user closes the window, reading the live card beneath root.
// Fails when no window could be shown ("window module missing: ..." among the reasons); the
// caller then prints the report.
Failure run_window(const Environment& env, const SysRoot& root, const WindowInput& input);

}  // namespace nadrel

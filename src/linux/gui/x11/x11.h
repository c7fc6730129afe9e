// The report view in an X11 window (core protocol through libxcb).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "linux/gui/view/view.h"

namespace nadrel {

// Shows the view until the user quits (nothing returned) or the display cannot be used or the
// connection fails (the reason, for the caller to print). The view stays the caller's.
// gdk_scale is the GDK_SCALE value when set: a factor above 1 enlarges the window.
Failure run_x11(ReportView& view, std::optional<std::string_view> gdk_scale);

}  // namespace nadrel

// Window mode: the detail document, the fonts, the view and the choice of display backend.
#include "linux/window.h"

#include <cstdlib>

#include "core/report_builder.h"
#include "linux/gui/text.h"
#include "linux/gui/view.h"
#include "linux/gui/x11.h"

namespace nadrel {
namespace {

// The display backend for this session; the view is theirs until the window closes.
std::optional<std::string> run_backend(ReportView& view) {
    return run_x11(view);
}

}  // namespace

std::optional<std::string> run_window(const SystemSnapshot& snapshot, Report summary,
                                      const std::string& stamp) {
    Report detailed = build_report(snapshot, true);
    std::optional<FontSet> fonts = load_font_set();
    if (!fonts) {
        return std::string(no_font_error);
    }
    ReportView view = make_view(std::move(summary), std::move(detailed), stamp, std::move(*fonts));
    return run_backend(view);
}

}  // namespace nadrel

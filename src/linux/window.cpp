// Window mode before any display backend exists: always unavailable, so the report is printed.
#include "linux/window.h"

namespace nadrel {

std::optional<std::string> run_window(const SystemSnapshot&, bool, const std::string&) {
    return std::string("this build has no display backend");
}

}  // namespace nadrel

// Processor code-name tables (not yet filled).
#include "core/cpu_codename.h"

namespace nadrel {

std::optional<std::pair<std::string, std::string>> cpu_codename(std::string_view, std::uint32_t,
                                                                std::uint32_t) {
    return std::nullopt;
}

}  // namespace nadrel

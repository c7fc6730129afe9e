// Saving the report (placeholder until the writer lands).
#include "linux/export.h"

namespace nadrel {

std::string save_report(const SysRoot&, const std::optional<std::string>&, std::string_view,
                        const Report&) {
    return "Could not save: not implemented";
}

std::string save_report(const SysRoot& root, std::string_view stamp, const Report& report) {
    return save_report(root, std::nullopt, stamp, report);
}

std::string safe_file_component(std::string_view host) {
    return std::string(host);
}

}  // namespace nadrel

// One listing of /sys/class/drm; each card's device link resolved and each status read once.
#include "linux/collect/drm.h"

#include "core/text/fields.h"

namespace nadrel {

namespace {

constexpr std::string_view drm_dir = "/sys/class/drm";

}  // namespace

DrmTree scan_drm(const SysRoot& root) {
    DrmTree drm;
    for (std::string& entry : list_dir_sorted(root, drm_dir)) {
        const std::size_t dash = entry.find('-');
        if (dash == std::string::npos) {
            // "card0"; render nodes ("renderD128") and "version" are not cards.
            if (is_numbered_name(entry, "card")) {
                const std::string device = std::string(drm_dir) + "/" + entry + "/device";
                drm.cards.push_back({std::move(entry), canonical_path(root, device).value_or("")});
            }
            continue;
        }
        if (!is_numbered_name(std::string_view(entry).substr(0, dash), "card"))
            continue;
        // A writeback connector is the display engine writing a frame to memory, not a port.
        if (std::string_view(entry).substr(dash + 1).starts_with("Writeback-"))
            continue;
        if (drm.connectors.size() >= max_drm_connectors)
            continue;
        DrmConnectorEntry connector;
        connector.card = entry.substr(0, dash);
        connector.name = entry.substr(dash + 1);
        connector.connected =
            read_text(root, std::string(drm_dir) + "/" + entry + "/status") == "connected";
        connector.entry = std::move(entry);
        drm.connectors.push_back(std::move(connector));
    }
    return drm;
}

const std::string& card_function(const DrmTree& drm, std::string_view card) {
    static const std::string none;
    for (const DrmCard& c : drm.cards) {
        if (c.name == card)
            return c.function;
    }
    return none;
}

}  // namespace nadrel

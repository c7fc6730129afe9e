// Connected displays: the EDID of every connected DRM connector, decoded, one entry per
// connector, named with the connector and the adapter it belongs to.
#include "linux/collect/displays.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/ids/edid.h"
#include "linux/collect/sysfs_links.h"

namespace nadrel {

namespace {

constexpr std::string_view drm_dir = "/sys/class/drm";
// The most an EDID can hold: a base block and 255 extensions.
constexpr std::size_t edid_limit = 256 * 128;

}  // namespace

std::vector<DisplayInfo> collect_displays(const SysRoot& root, const DrmTree& drm) {
    std::vector<DisplayInfo> displays;
    // A display is its connector on its device: two identical monitors (byte-identical EDIDs,
    // common when the serial number is zero) on two connectors are two.
    std::unordered_set<std::string> seen;
    for (const DrmConnectorEntry& connector : drm.connectors) {
        if (!connector.connected)
            continue;
        const auto edid =
            read_bytes(root, std::string(drm_dir) + "/" + connector.entry + "/edid", edid_limit);
        if (!edid || edid->size() < 128)
            continue;
        auto display = decode_edid(*edid);
        if (!display)
            continue;
        const std::string& function = card_function(drm, connector.card);
        const std::string device = function.empty() ? connector.card : function;
        if (!seen.insert(device + "/" + connector.name).second)
            continue;
        display->connector = connector.name;
        const std::string_view address = std::string_view(function).substr(function.rfind('/') + 1);
        if (is_pci_address(address))
            display->gpu_pci_address = std::string(address);
        displays.push_back(std::move(*display));
    }
    return displays;
}

}  // namespace nadrel

// Connected displays: the EDID of every connected DRM connector, decoded, one entry per name.
#include "linux/displays.h"

#include <algorithm>

#include "core/edid.h"

namespace nadrel {

namespace {

constexpr std::string_view drm_dir = "/sys/class/drm";
// The most an EDID can hold: a base block and 255 extensions.
constexpr std::size_t edid_limit = 256 * 128;

}  // namespace

std::vector<DisplayInfo> collect_displays(const SysRoot& root) {
    std::vector<DisplayInfo> displays;
    for (const std::string& entry : list_dir_sorted(root, drm_dir)) {
        // Connector entries such as "card0-DP-1"; the cards themselves are adapters.
        if (!entry.starts_with("card") || entry.find('-') == std::string::npos)
            continue;
        const std::string dir = std::string(drm_dir) + "/" + entry;
        if (read_text(root, dir + "/status") != "connected")
            continue;
        const auto edid = read_bytes(root, dir + "/edid", edid_limit);
        if (!edid || edid->size() < 128)
            continue;
        auto display = decode_edid(*edid);
        if (!display)
            continue;
        // The same monitor on two connectors, or two identical monitors, is listed once.
        const bool listed =
            std::any_of(displays.begin(), displays.end(),
                        [&](const DisplayInfo& d) { return d.name == display->name; });
        if (!listed)
            displays.push_back(std::move(*display));
    }
    return displays;
}

}  // namespace nadrel

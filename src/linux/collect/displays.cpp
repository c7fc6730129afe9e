// Connected displays: the EDID of every connected DRM connector, decoded, one entry per monitor.
#include "linux/collect/displays.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/ids/edid.h"

namespace nadrel {

namespace {

constexpr std::string_view drm_dir = "/sys/class/drm";
// The most an EDID can hold: a base block and 255 extensions.
constexpr std::size_t edid_limit = 256 * 128;

}  // namespace

std::vector<DisplayInfo> collect_displays(const SysRoot& root) {
    std::vector<DisplayInfo> displays;
    std::vector<std::vector<std::uint8_t>> seen;  // base blocks already listed
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
        // One monitor seen through two card nodes gives the same base block, serial number
        // included; two monitors of one model differ in it and are both listed.
        std::vector<std::uint8_t> base(edid->begin(), edid->begin() + 128);
        if (std::find(seen.begin(), seen.end(), base) != seen.end())
            continue;
        seen.push_back(std::move(base));
        displays.push_back(std::move(*display));
    }
    return displays;
}

}  // namespace nadrel

// Connected displays: the EDID of every connected DRM connector, decoded, one entry per monitor.
#include "linux/collect/displays.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/ids/edid.h"

namespace nadrel {

namespace {

constexpr std::string_view drm_dir = "/sys/class/drm";
// The most an EDID can hold: a base block and 255 extensions.
constexpr std::size_t edid_limit = 256 * 128;
// Connectors examined at most: a GPU drives a handful and a machine has a few GPUs; a tree
// claiming more is cut before any of their files is read.
constexpr std::size_t max_connectors = 256;

}  // namespace

std::vector<DisplayInfo> collect_displays(const SysRoot& root) {
    std::vector<DisplayInfo> displays;
    // What tells one monitor from another, of those already listed.
    std::unordered_set<std::string> seen;
    std::size_t connectors = 0;
    for (const std::string& entry : list_dir_sorted(root, drm_dir)) {
        // Connector entries such as "card0-DP-1"; the cards themselves are adapters.
        if (!entry.starts_with("card") || entry.find('-') == std::string::npos)
            continue;
        if (++connectors > max_connectors)
            break;
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
        if (!seen.emplace(edid->begin(), edid->begin() + 128).second)
            continue;
        displays.push_back(std::move(*display));
    }
    return displays;
}

}  // namespace nadrel

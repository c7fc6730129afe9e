// Builds DRM cards and connectors in a test root the way sysfs shows them: class entries are
// relative links into the PCI device tree, and each card's "device" links back to its function.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace nadrel::test {

// pci_path: the function's folder below sys/devices, e.g. "pci0000:00/0000:00:01.0/0000:01:00.0".
inline void add_drm_card(const TempDir& dir, std::string_view card, std::string_view pci_path,
                         const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string function = "sys/devices/" + std::string(pci_path);
    for (const auto& [name, content] : files)
        dir.write(function + "/" + name, content);
    const std::string card_dir = function + "/drm/" + std::string(card);
    dir.mkdir(card_dir);
    dir.symlink(card_dir + "/device",
                "../../../" + std::string(pci_path.substr(pci_path.rfind('/') + 1)));
    dir.symlink("sys/class/drm/" + std::string(card),
                "../../devices/" + std::string(pci_path) + "/drm/" + std::string(card));
}

inline void add_drm_connector(const TempDir& dir, std::string_view card, std::string_view pci_path,
                              std::string_view connector, std::string_view status,
                              std::string_view edid) {
    const std::string name = std::string(card) + "-" + std::string(connector);
    const std::string rel = std::string(pci_path) + "/drm/" + std::string(card) + "/" + name;
    dir.write("sys/devices/" + rel + "/status", std::string(status) + "\n");
    dir.write("sys/devices/" + rel + "/edid", edid);
    dir.symlink("sys/class/drm/" + name, "../../devices/" + rel);
}

}  // namespace nadrel::test

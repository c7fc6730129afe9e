// Graphics adapters from the DRM class folder: the card's PCI function and its connectors.
#include "linux/collect/gpu.h"

#include <algorithm>
#include <utility>

#include "core/text/fields.h"
#include "core/text/unicode.h"
#include "linux/collect/pci.h"
#include "linux/collect/pci_names.h"
#include "linux/collect/sysfs_links.h"

namespace nadrel {

namespace {

std::string vendor_short_name(std::uint16_t vendor_id) {
    switch (vendor_id) {
        case 0x1002:
        case 0x1022:
            return "AMD";
        case 0x10DE:
            return "NVIDIA";
        case 0x8086:
            return "Intel";
        case 0x1414:
            return "Microsoft";
        case 0x15AD:
            return "VMware";
        case 0x1AF4:
        case 0x1B36:
            return "Red Hat / VirtIO";
        case 0x5333:
            return "S3";
        default:
            return {};
    }
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool connector_before(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (is_digit(a[i]) && is_digit(b[j])) {
            const std::size_t a_end = a.find_first_not_of("0123456789", i);
            const std::size_t b_end = b.find_first_not_of("0123456789", j);
            std::string_view x = a.substr(i, a_end - i);
            std::string_view y = b.substr(j, b_end - j);
            x.remove_prefix(std::min(x.find_first_not_of('0'), x.size()));
            y.remove_prefix(std::min(y.find_first_not_of('0'), y.size()));
            if (x.size() != y.size())
                return x.size() < y.size();
            if (x != y)
                return x < y;
            i = std::min(a_end, a.size());
            j = std::min(b_end, b.size());
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

std::vector<GpuInfo> collect_gpus(const SysRoot& root, const DrmTree& drm,
                                  const std::vector<PciDevice>& pci) {
    std::vector<GpuInfo> gpus;
    std::vector<std::string> functions;  // the device folder of each adapter
    for (const DrmCard& card : drm.cards) {
        const std::string_view function = card.function;
        const std::string_view address = function.substr(function.rfind('/') + 1);
        if (!is_pci_address(address))
            continue;
        // A device exposing several DRM nodes is listed once; two identical cards are two.
        if (std::find(functions.begin(), functions.end(), function) != functions.end())
            continue;
        const PciDevice* known = find_pci_device(pci, address);
        const PciDevice read = known != nullptr ? PciDevice() : read_pci_function(root, function);
        const PciDevice& d = known != nullptr ? *known : read;
        if (d.vendor_id == 0)
            continue;
        const std::string dir(function);
        GpuInfo gpu;
        gpu.vendor_id = d.vendor_id;
        gpu.device_id = d.device_id;
        gpu.subsystem_vendor_id = d.subsystem_vendor_id;
        gpu.subsystem_device_id = d.subsystem_device_id;
        gpu.revision = d.revision.value_or(0);
        gpu.name = pci_name(root, gpu.vendor_id, gpu.device_id).value_or("");
        gpu.vram_total = read_u64(root, dir + "/mem_info_vram_total").value_or(0);
        gpu.vendor = vendor_short_name(gpu.vendor_id);
        if (d.link)
            gpu.pcie_link = *d.link;
        gpu.vbios_version = read_text(root, dir + "/vbios_version").value_or("");
        gpu.pci_address = std::string(address);
        gpu.driver = d.driver;
        gpus.push_back(std::move(gpu));
        functions.push_back(dir);
    }

    // "card0-DP-1" belongs to the adapter of card0's function; a connector seen through a
    // second card node of one function is one.
    for (const DrmConnectorEntry& entry : drm.connectors) {
        const std::string& function = card_function(drm, entry.card);
        const auto at = std::find(functions.begin(), functions.end(), function);
        if (function.empty() || at == functions.end())
            continue;
        auto& list = gpus[static_cast<std::size_t>(at - functions.begin())].connectors;
        if (std::none_of(list.begin(), list.end(),
                         [&](const DrmConnector& c) { return c.name == entry.name; }))
            list.push_back({entry.name, entry.connected});
    }
    for (GpuInfo& gpu : gpus) {
        std::sort(gpu.connectors.begin(), gpu.connectors.end(),
                  [](const DrmConnector& a, const DrmConnector& b) {
                      return connector_before(a.name, b.name);
                  });
    }
    return gpus;
}

}  // namespace nadrel

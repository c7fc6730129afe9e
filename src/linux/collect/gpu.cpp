// Graphics adapters from the DRM class folder, and the PCI Express link of a PCI device.
#include "linux/collect/gpu.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "core/text/fields.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"
#include "linux/collect/pci_names.h"

namespace nadrel {

namespace {

constexpr std::string_view drm_dir = "/sys/class/drm";

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

// The transfer rate of a max_link_speed text ("16.0 GT/s PCIe") in MT/s; 0 for a rate the
// PCI Express generations do not have.
std::uint32_t pcie_rate_mts(std::string_view rate) {
    static constexpr std::pair<std::string_view, std::uint32_t> rates[] = {
        {"2.5", 2500},   {"5.0", 5000},   {"8.0", 8000},
        {"16.0", 16000}, {"32.0", 32000}, {"64.0", 64000},
    };
    for (const auto& [text, mts] : rates) {
        if (rate == text)
            return mts;
    }
    return 0;
}

std::string_view first_word(std::string_view text) {
    text = trim(text);
    const std::size_t end = text.find_first_of(" \t\n\r\v\f");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

std::uint16_t low16(std::uint32_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}

}  // namespace

PcieLink read_pcie_link(const SysRoot& root, std::string_view device_dir) {
    const std::string dir(device_dir);
    PcieLink link;
    const auto width_text = read_text(root, dir + "/max_link_width");
    const auto width = width_text ? parse_u64(*width_text) : std::nullopt;
    if (width && *width <= std::numeric_limits<std::uint32_t>::max())
        link.max_width = static_cast<std::uint32_t>(*width);
    if (const auto speed = read_text(root, dir + "/max_link_speed"))
        link.max_mts = pcie_rate_mts(first_word(*speed));
    return link;
}

std::vector<GpuInfo> collect_gpus(const SysRoot& root) {
    std::vector<GpuInfo> gpus;
    std::vector<std::string> seen;  // PCI functions already listed
    for (const std::string& card : list_dir_sorted(root, drm_dir)) {
        if (!is_numbered_name(card, "card"))  // a DRM card, not one of its connectors
            continue;
        const std::string dir = std::string(drm_dir) + "/" + card + "/device";
        const auto vendor = read_hex(root, dir + "/vendor");
        if (!vendor)
            continue;
        GpuInfo gpu;
        gpu.vendor_id = low16(*vendor);
        gpu.device_id = low16(read_hex(root, dir + "/device").value_or(0));
        // A device exposing several DRM nodes is listed once; two identical cards are two.
        std::string function = canonical_path(root, dir).value_or(dir);
        if (std::find(seen.begin(), seen.end(), function) != seen.end())
            continue;
        seen.push_back(std::move(function));
        gpu.name = pci_name(root, gpu.vendor_id, gpu.device_id).value_or("");
        gpu.vram_total = read_u64(root, dir + "/mem_info_vram_total").value_or(0);
        gpu.vendor = vendor_short_name(gpu.vendor_id);
        gpu.pcie_link = read_pcie_link(root, dir);
        gpu.subsystem_vendor_id = low16(read_hex(root, dir + "/subsystem_vendor").value_or(0));
        gpu.subsystem_device_id = low16(read_hex(root, dir + "/subsystem_device").value_or(0));
        gpu.revision =
            static_cast<std::uint8_t>(read_hex(root, dir + "/revision").value_or(0) & 0xFF);
        gpu.vbios_version = read_text(root, dir + "/vbios_version").value_or("");
        gpus.push_back(std::move(gpu));
    }
    return gpus;
}

}  // namespace nadrel

// Graphics adapters from the DRM class folder, and the PCI Express link text of a PCI device.
#include "linux/collect/gpu.h"

#include <algorithm>
#include <utility>

#include "core/text/fields.h"
#include "core/text/fmt.h"
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

// PCI Express generation of a max_link_speed transfer rate, in GT/s.
std::string_view pcie_generation(std::string_view rate) {
    static constexpr std::pair<std::string_view, std::string_view> generations[] = {
        {"2.5", "1.0"},  {"5.0", "2.0"},  {"8.0", "3.0"},
        {"16.0", "4.0"}, {"32.0", "5.0"}, {"64.0", "6.0"},
    };
    for (const auto& [speed, generation] : generations) {
        if (rate == speed)
            return generation;
    }
    return {};
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

std::string pcie_link_text(const SysRoot& root, std::string_view device_dir) {
    const std::string dir(device_dir);
    const auto width_text = read_text(root, dir + "/max_link_width");
    if (!width_text)
        return {};
    const std::string_view width = trim(*width_text);
    if (width.empty() || width == "Unknown" || width == "0")
        return {};
    const std::string width_str(width);
    const auto speed = read_text(root, dir + "/max_link_speed");
    const std::string_view generation = speed ? pcie_generation(first_word(*speed)) : "";
    if (generation.empty())
        return strfmt("x%s", width_str.c_str());
    const std::string generation_str(generation);
    return strfmt("PCIe %s x%s", generation_str.c_str(), width_str.c_str());
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
        gpu.name = pci_name(root, gpu.vendor_id, gpu.device_id)
                       .value_or(strfmt("PCI %04X:%04X", gpu.vendor_id, gpu.device_id));
        gpu.vram_total = read_u64(root, dir + "/mem_info_vram_total").value_or(0);
        gpu.vendor = vendor_short_name(gpu.vendor_id);
        gpu.pcie_link = pcie_link_text(root, dir);
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

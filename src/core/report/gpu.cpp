// Report rows: the GPU section (graphics adapters, then displays).
#include "core/report/device_text.h"
#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::uint64_t dedicated_vram_min = std::uint64_t{512} << 20;
constexpr std::uint64_t reserved_memory_min = std::uint64_t{1} << 20;

void add_adapter(std::vector<ReportRow>& rows, const GpuInfo& gpu, std::size_t number,
                 bool detail) {
    const std::string name = gpu_name(gpu);
    std::string value = name;
    if (!gpu.vendor.empty() && !contains(ascii_lower(name), ascii_lower(gpu.vendor))) {
        value += " (" + gpu.vendor + ")";
    }
    rows.push_back(field(strfmt("Adapter %zu", number), value));
    if (gpu.vram_total >= dedicated_vram_min) {
        rows.push_back(sub_field("VRAM", format_size(gpu.vram_total) + " dedicated"));
    } else if (gpu.vram_total >= reserved_memory_min) {
        // The small carve-out of an integrated adapter.
        rows.push_back(sub_field("Memory", format_size(gpu.vram_total) + " reserved"));
    }
    if (const std::string link = pcie_link_text(gpu.pcie_link); !link.empty())
        rows.push_back(sub_field("PCIe link", link));
    if (!detail)
        return;
    if (gpu.vendor_id != 0) {
        rows.push_back(
            sub_field("PCI ID", strfmt("%04X:%04X (rev %02X)", unsigned{gpu.vendor_id},
                                       unsigned{gpu.device_id}, unsigned{gpu.revision})));
    }
    if (gpu.subsystem_vendor_id != 0) {
        rows.push_back(sub_field("Subsystem", strfmt("%04X:%04X", unsigned{gpu.subsystem_vendor_id},
                                                     unsigned{gpu.subsystem_device_id})));
    }
    if (!gpu.driver.empty())
        rows.push_back(sub_field("Driver", gpu.driver));
    if (!gpu.vbios_version.empty())
        rows.push_back(sub_field("VBIOS", gpu.vbios_version));
    std::vector<std::string> free;
    for (const DrmConnector& connector : gpu.connectors) {
        if (!connector.connected)
            free.push_back(connector.name);
    }
    if (!free.empty())
        rows.push_back(sub_field("Free ports", join(free, ", ")));
}

// "DP-1 on Adapter 2": the connector and the adapter it belongs to, as numbered above.
std::string connector_text(const SystemSnapshot& s, const DisplayInfo& d) {
    if (d.connector.empty())
        return {};
    for (std::size_t i = 0; i < s.gpus.size(); ++i) {
        if (!d.gpu_pci_address.empty() && s.gpus[i].pci_address == d.gpu_pci_address)
            return strfmt("%s on Adapter %zu", d.connector.c_str(), i + 1);
    }
    return d.connector;
}

void add_display_detail(std::vector<ReportRow>& rows, const SystemSnapshot& s, const DisplayInfo& d,
                        std::string label) {
    rows.push_back(field(std::move(label), d.name));
    if (const std::string connector = connector_text(s, d); !connector.empty())
        rows.push_back(sub_field("Connector", connector));
    if (d.width_px != 0 && d.height_px != 0) {
        rows.push_back(sub_field("Native mode", strfmt("%ux%u", d.width_px, d.height_px)));
    }
    if (d.max_refresh_hz != 0) {
        rows.push_back(sub_field("Max refresh", strfmt("%uHz", d.max_refresh_hz)));
    }
    if (d.width_mm != 0 && d.height_mm != 0) {
        const std::string diagonal =
            d.diagonal_in != 0 ? strfmt(" (%u\")", d.diagonal_in) : std::string();
        rows.push_back(
            sub_field("Size", strfmt("%u x %u mm%s", d.width_mm, d.height_mm, diagonal.c_str())));
    }
    if (d.bits_per_color != 0) {
        rows.push_back(
            sub_field("Colour depth", strfmt("%u bits per channel", unsigned{d.bits_per_color})));
    }
    if (d.year != 0) {
        rows.push_back(sub_field(
            "Manufactured", d.week != 0 ? strfmt("%u, week %u", unsigned{d.year}, unsigned{d.week})
                                        : std::to_string(d.year)));
    }
}

std::string display_summary(const DisplayInfo& d) {
    std::vector<std::string> parts;
    if (d.width_px != 0 && d.height_px != 0)
        parts.push_back(strfmt("%ux%u", d.width_px, d.height_px));
    if (d.diagonal_in != 0)
        parts.push_back(strfmt("%u\"", d.diagonal_in));
    const std::string extra = join(parts, ", ");
    return extra.empty() ? d.name : d.name + " (" + extra + ")";
}

}  // namespace

std::vector<ReportRow> gpu_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    for (std::size_t i = 0; i < s.gpus.size(); ++i)
        add_adapter(rows, s.gpus[i], i + 1, detail);
    if (detail) {
        for (std::size_t i = 0; i < s.displays.size(); ++i) {
            add_display_detail(
                rows, s, s.displays[i],
                s.displays.size() == 1 ? std::string("Display") : strfmt("Display %zu", i + 1));
        }
    } else {
        std::vector<std::string> items;
        for (const auto& d : s.displays)
            items.push_back(display_summary(d));
        append(rows, list_rows("Display", items));
    }
    return rows;
}

}  // namespace nadrel

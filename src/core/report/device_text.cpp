// The texts of typed device values, byte for byte as the collectors once stored them.
#include "core/report/device_text.h"

#include "core/text/fmt.h"

namespace nadrel {

namespace {

// The PCI Express generation of a transfer rate per lane (PCIe base specification).
const char* pcie_generation(std::uint32_t mts) {
    switch (mts) {
        case 2500:
            return "1.0";
        case 5000:
            return "2.0";
        case 8000:
            return "3.0";
        case 16000:
            return "4.0";
        case 32000:
            return "5.0";
        case 64000:
            return "6.0";
        default:
            return nullptr;
    }
}

}  // namespace

std::string pcie_link_text(const PcieLink& link) {
    if (link.max_width == 0)
        return {};
    const char* generation = pcie_generation(link.max_mts);
    if (generation == nullptr)
        return strfmt("x%u", link.max_width);
    return strfmt("PCIe %s x%u", generation, link.max_width);
}

std::string sata_link_text(std::uint32_t mbps) {
    if (mbps == 0)
        return {};
    std::string fraction = strfmt("%03u", mbps % 1000);
    while (fraction.size() > 1 && fraction.back() == '0')
        fraction.pop_back();
    return strfmt("SATA %u.%sGb/s", mbps / 1000, fraction.c_str());
}

std::string disk_link_text(const DiskInfo& disk) {
    return disk.sata_mbps != 0 ? sata_link_text(disk.sata_mbps) : pcie_link_text(disk.pcie_link);
}

std::string gpu_name(const GpuInfo& gpu) {
    if (!gpu.name.empty())
        return gpu.name;
    return strfmt("PCI %04X:%04X", unsigned{gpu.vendor_id}, unsigned{gpu.device_id});
}

std::string adapter_name(const NetAdapter& adapter) {
    return adapter.name.empty() ? adapter.interface : adapter.name;
}

}  // namespace nadrel

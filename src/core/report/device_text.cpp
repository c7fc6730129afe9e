// The texts of typed device values, byte for byte as the collectors once stored them.
#include "core/report/device_text.h"

#include <algorithm>
#include <vector>

#include "core/links.h"
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

std::string pcie_link_text(std::uint32_t mts, std::uint32_t width) {
    if (width == 0)
        return {};
    const char* generation = pcie_generation(mts);
    if (generation == nullptr)
        return strfmt("x%u", width);
    return strfmt("PCIe %s x%u", generation, width);
}

std::string pcie_link_text(const PcieLink& link) {
    return pcie_link_text(link.max_mts, link.max_width);
}

std::string pci_link_text(const PciDevice& device) {
    if (!device.link)
        return {};
    const PcieLink& link = *device.link;
    std::string text = pcie_link_text(link.current_mts, link.current_width);
    if (!text.empty() && below_capability(device) == true) {
        text += " (capable of " + pcie_link_text(capable_mts(link), capable_width(link)) + ")";
    }
    return text;
}

std::string pci_class_text(const PciDevice& device) {
    if (!device.class_name.empty())
        return device.class_name;
    if (!device.class_code)
        return {};
    return strfmt("Class %04x", *device.class_code >> 8);
}

std::string pci_device_text(const PciDevice& device) {
    if (device.vendor_id == 0)
        return {};
    if (device.vendor.empty())
        return strfmt("Device %04x:%04x", unsigned{device.vendor_id}, unsigned{device.device_id});
    if (device.device_name.empty())
        return strfmt("%s Device %04x", device.vendor.c_str(), unsigned{device.device_id});
    return device.vendor + " " + device.device_name;
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

std::string address_text(const NetAddress& address) {
    if (address.prefix_length == 0)
        return address.address;
    return address.address + "/" + std::to_string(address.prefix_length);
}

std::string usb_drivers_text(const UsbDevice& device) {
    std::vector<std::string> drivers;
    for (const UsbInterface& interface : device.interfaces) {
        if (!interface.driver.empty() &&
            std::find(drivers.begin(), drivers.end(), interface.driver) == drivers.end())
            drivers.push_back(interface.driver);
    }
    std::string text;
    for (const std::string& driver : drivers)
        text += (text.empty() ? "" : ", ") + driver;
    return text;
}

}  // namespace nadrel

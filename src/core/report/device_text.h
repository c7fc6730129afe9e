// The texts of typed device values (PCI Express and SATA links, adapter names), shared by the
// report and the text keys of the JSON document.
#pragma once

#include <cstdint>
#include <string>

#include "core/snapshot.h"

namespace nadrel {

// "PCIe 4.0 x16"; "x16" for a rate that is no PCI Express generation; empty without a width.
std::string pcie_link_text(std::uint32_t mts, std::uint32_t width);
// The most the link can run at (max_mts, max_width), as above.
std::string pcie_link_text(const PcieLink& link);
// What a function's link runs at now, with " (capable of PCIe 4.0 x16)" when that is below
// capability; empty without a link or a current width.
std::string pci_link_text(const PciDevice& device);
// The class name, else "Class 0106" (class and subclass codes), else empty.
std::string pci_class_text(const PciDevice& device);
// Vendor and device names as lspci gives them: "Intel Corporation I350 Gigabit Network
// Connection", "Intel Corporation Device 1234" (device not listed), "Device 1234:1111" (vendor
// not listed); empty without a vendor id.
std::string pci_device_text(const PciDevice& device);
// "SATA 6.0Gb/s" (the kernel's 1.5, 3.0 and 6.0 Gb/s keep their one decimal); empty for 0.
std::string sata_link_text(std::uint32_t mbps);
// The SATA link, else the PCI Express link, else empty.
std::string disk_link_text(const DiskInfo& disk);
// The database name, else "PCI " and the vendor and device ids ("PCI 1234:ABCD").
std::string gpu_name(const GpuInfo& gpu);
// The database name, else the interface ("enp3s0").
std::string adapter_name(const NetAdapter& adapter);
// "192.168.1.5/24" (the address alone when the prefix length is not known).
std::string address_text(const NetAddress& address);
// The distinct drivers of a USB device's interfaces, in interface order, ", "-joined.
std::string usb_drivers_text(const UsbDevice& device);

}  // namespace nadrel

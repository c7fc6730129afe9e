// The texts of typed device values (PCI Express and SATA links, adapter names), shared by the
// report and the text keys of the JSON document.
#pragma once

#include <cstdint>
#include <string>

#include "core/snapshot.h"

namespace nadrel {

// "PCIe 4.0 x16"; "x16" for a rate that is no PCI Express generation; empty without a width.
std::string pcie_link_text(const PcieLink& link);
// "SATA 6.0Gb/s" (the kernel's 1.5, 3.0 and 6.0 Gb/s keep their one decimal); empty for 0.
std::string sata_link_text(std::uint32_t mbps);
// The SATA link, else the PCI Express link, else empty.
std::string disk_link_text(const DiskInfo& disk);
// The database name, else "PCI " and the vendor and device ids ("PCI 1234:ABCD").
std::string gpu_name(const GpuInfo& gpu);
// The database name, else the interface ("enp3s0").
std::string adapter_name(const NetAdapter& adapter);

}  // namespace nadrel

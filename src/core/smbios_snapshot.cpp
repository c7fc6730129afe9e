// SMBIOS-derived snapshot fields (not yet decoded).
#include "core/smbios_snapshot.h"

namespace nadrel {

void collect_smbios_memory(SystemSnapshot&, std::span<const DmiStructure>) {}
std::string smbios_memory_ecc(std::span<const DmiStructure>) { return {}; }
std::vector<SystemSlot> smbios_slots(std::span<const DmiStructure>) { return {}; }
void collect_smbios_sockets(SystemSnapshot&, std::span<const DmiStructure>) {}
std::uint64_t smbios_usb_ports(std::span<const DmiStructure>) { return 0; }
std::uint64_t smbios_rom_size(std::span<const DmiStructure>) { return 0; }
std::string smbios_version(std::span<const std::uint8_t>) { return {}; }
std::vector<PortConnector> smbios_ports(std::span<const DmiStructure>) { return {}; }

}  // namespace nadrel

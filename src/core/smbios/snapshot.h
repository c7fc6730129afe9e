// The snapshot fields that come from SMBIOS structures (memory, slots, ports, sockets, BIOS).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/smbios/smbios.h"
#include "core/snapshot.h"

namespace nadrel {

// Memory modules kept at most: real boards list under a hundred, the largest servers a few
// hundred; a table claiming more is made up.
inline constexpr std::size_t max_memory_modules = 1024;

// Type 16 slot counts and capacities, then every type 17 module, in table order, up to
// max_memory_modules.
void collect_smbios_memory(SystemSnapshot& snapshot, std::span<const DmiStructure> dmi);
// A module whose form factor is "Row of chips": memory soldered to the board.
bool is_soldered(const MemoryModule& module);
// Error correction of the first type 16 structure.
std::string smbios_memory_ecc(std::span<const DmiStructure> dmi);
std::vector<SystemSlot> smbios_slots(std::span<const DmiStructure> dmi);
// cpu_socket, cpu_sockets and cpu_sockets_populated from type 4.
void collect_smbios_sockets(SystemSnapshot& snapshot, std::span<const DmiStructure> dmi);
std::uint64_t smbios_usb_ports(std::span<const DmiStructure> dmi);
std::uint64_t smbios_rom_size(std::span<const DmiStructure> dmi);
// "major.minor" from the entry point ("_SM3_" or "_SM_"); empty when unreadable.
std::string smbios_version(std::span<const std::uint8_t> entry_point);
std::vector<PortConnector> smbios_ports(std::span<const DmiStructure> dmi);

}  // namespace nadrel

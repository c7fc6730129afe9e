// Field readers and decoders for single SMBIOS structures (DMTF DSP0134). Every read is bounded:
// bytes at or past the end of the formatted area read as 0, so a short structure yields zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/smbios/smbios.h"
#include "core/snapshot.h"

namespace nadrel {

// Little-endian reads at an offset of the formatted area (header included).
std::uint8_t smbios_byte(const DmiStructure& s, std::size_t offset);
std::uint16_t smbios_word(const DmiStructure& s, std::size_t offset);
std::uint32_t smbios_dword(const DmiStructure& s, std::size_t offset);
std::uint64_t smbios_qword(const DmiStructure& s, std::size_t offset);

// String number n (from 1), trimmed; empty for 0 or a number past the last string.
std::string smbios_string(const DmiStructure& s, std::size_t n);
// The string whose number is the byte at offset.
std::string smbios_string_at(const DmiStructure& s, std::size_t offset);

// Type 17 Memory Device: a module, or nothing for an empty or unknown-size socket.
std::optional<MemoryModule> decode_memory_device(const DmiStructure& s);
// Type 9 System Slots.
SystemSlot decode_slot(const DmiStructure& s);
// Type 8 Port Connector: nothing for unnamed port types and unlabelled "Other" ports.
std::optional<PortConnector> decode_port(const DmiStructure& s);

// Type 16 Physical Memory Array: maximum capacity in bytes, device count, error correction.
std::uint64_t memory_array_capacity(const DmiStructure& s);
std::uint32_t memory_array_devices(const DmiStructure& s);
std::string memory_array_ecc(const DmiStructure& s);

// Type 4 Processor Information.
std::string processor_socket(const DmiStructure& s);
bool processor_populated(const DmiStructure& s);

// Type 0 BIOS Information: ROM size in bytes, rounded down to 64 KiB.
std::uint64_t bios_rom_size(const DmiStructure& s);

}  // namespace nadrel

// The raw SMBIOS (DMI) structure table walked into structures, and its dump text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nadrel {

struct DmiStructure {
    std::uint8_t type = 0;
    std::vector<std::uint8_t> formatted;  // header included: type, length, handle
    std::vector<std::string> strings;     // string number n is strings[n - 1]
};

// Walks a raw table (the bytes of /sys/firmware/dmi/tables/DMI) into structures.
std::vector<DmiStructure> parse_smbios_table(std::span<const std::uint8_t> table);

// The "--dump-smbios" text: every structure as a hex dump with its strings, identifying values
// redacted.
std::string format_smbios_dump(std::span<const DmiStructure> structures);

}  // namespace nadrel

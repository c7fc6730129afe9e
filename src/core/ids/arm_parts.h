// Arm processor names by the MIDR implementer code and primary part number that Linux prints
// in /proc/cpuinfo ("CPU implementer : 0x41", "CPU part : 0xd46").
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace nadrel {

// The core's name ("Cortex-A510", "Neoverse-N1", "Kunpeng-920"), or nothing when the pair is
// not in the table.
std::optional<std::string_view> arm_part_name(std::uint32_t implementer, std::uint32_t part);

}  // namespace nadrel

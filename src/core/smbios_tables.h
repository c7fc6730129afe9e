// SMBIOS (DMTF DSP0134) and DMI vocabularies, and the firmware-placeholder test.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nadrel {

// True for text that carries no information: empty, "To Be Filled By O.E.M.", "Default string",
// "0000" and the like.
bool is_placeholder(std::string_view text);

// Chassis type (the DMI chassis_type number taken modulo 256); empty when unlisted.
std::string chassis_name(std::uint64_t code);

}  // namespace nadrel

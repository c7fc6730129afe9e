// SMBIOS (DMTF DSP0134) and DMI vocabularies, and the firmware-placeholder test.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace nadrel {

// True for text that carries no information: empty, "To Be Filled By O.E.M.", "Default string",
// "0000" and the like; or text that only repeats a name of the field it fills ("SKU" as the
// SKU, "CPUSocket" or "SOCKET 0" as the socket designation), compared without letter case,
// spaces or punctuation and without a trailing index number. field_names are written in words
// ("cpu socket").
bool is_placeholder(std::string_view text, std::span<const std::string_view> field_names = {});

// Chassis type (the DMI chassis_type number taken modulo 256); empty when unlisted.
std::string chassis_name(std::uint64_t code);

// Memory Device type (type 17, offset 12h); "Other" when unlisted.
std::string memory_type_name(std::uint8_t code);
// Memory Device form factor (type 17, offset 0Eh); empty when unlisted.
std::string form_factor_name(std::uint8_t code);
// Physical Memory Array error correction (type 16, offset 06h); empty when unlisted.
std::string memory_ecc_name(std::uint8_t code);

// Port Connector port type (type 8, offset 08h); nothing for codes we do not name.
std::optional<std::string> port_type_name(std::uint8_t code);

// System Slot type (type 9, offset 05h); "Slot type 0xNN" when unlisted.
std::string slot_type_name(std::uint8_t code);
// System Slot data bus width (type 9, offset 06h): "x1".."x32", empty when unlisted.
std::string slot_width_name(std::uint8_t code);
// System Slot current usage (type 9, offset 07h).
std::string slot_usage_name(std::uint8_t code);

}  // namespace nadrel

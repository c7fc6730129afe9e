// Strict number parsing for attribute text already in hand (sysfs, procfs, pci.ids).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace nadrel {

// The parse rules of the readers, for text already in hand.
// Decimal: trimmed, an optional single "+", digits only, no overflow.
std::optional<std::uint64_t> parse_u64(std::string_view text);
// Hexadecimal as for parse_hex32, fitting 64 bits (sysfs sizes such as block_size_bytes).
std::optional<std::uint64_t> parse_hex64(std::string_view text);
// Hexadecimal: trimmed, an optional "0x", an optional "+", hex digits, fitting 32 bits.
std::optional<std::uint32_t> parse_hex32(std::string_view text);
// Signed decimal: trimmed, an optional sign, digits only, fitting 64 bits.
std::optional<std::int64_t> parse_i64(std::string_view text);

}  // namespace nadrel

// EDID 1.3/1.4 base-block decoding (VESA E-EDID): monitor name, native mode, size, date.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/snapshot.h"

namespace nadrel {

// Decodes the first 128 bytes; nothing for a short block or an unnamed one with an invalid
// manufacturer ID.
std::optional<DisplayInfo> decode_edid(std::span<const std::uint8_t> bytes);

}  // namespace nadrel

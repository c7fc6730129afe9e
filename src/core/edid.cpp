// EDID base-block decoding (not yet built).
#include "core/edid.h"

namespace nadrel {

std::optional<DisplayInfo> decode_edid(std::span<const std::uint8_t>) { return std::nullopt; }

}  // namespace nadrel

// libFuzzer target: any bytes, of any length, decode as an EDID or are refused, never read out
// of bounds, and a decoded name is valid UTF-8 without control characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/ids/edid.h"
#include "core/text/unicode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto display = nadrel::decode_edid(std::span<const std::uint8_t>(data, size));
    if (!display)
        return 0;
    if (size < 128 || display->name.empty() || !nadrel::is_valid_utf8(display->name))
        std::abort();
    for (std::size_t i = 0; i < display->name.size();) {
        const char32_t c = nadrel::next_char(display->name, i);
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            std::abort();
    }
    if (display->week > 54 || display->bits_per_color > 16 || display->max_refresh_hz > 510) {
        std::abort();
    }
    return 0;
}

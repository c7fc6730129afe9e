// EDID base-block decoding (VESA E-EDID 1.3/1.4, section 3): only the first 128 bytes are read,
// with no header or checksum test, so a damaged block still yields what it holds.
#include "core/ids/edid.h"

#include <array>

#include "core/text/fmt.h"
#include "core/text/names.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::size_t block_size = 128;
constexpr std::size_t manufacturer_id = 8;  // big-endian, three 5-bit letters
constexpr std::size_t product_code = 10;    // little-endian
constexpr std::size_t id_serial = 12;       // little-endian, 0 = not used
constexpr std::size_t week_of_manufacture = 16;
constexpr std::size_t year_of_manufacture = 17;  // minus 1990
constexpr std::size_t video_input = 20;
constexpr std::size_t max_image_width_cm = 21;
constexpr std::size_t max_image_height_cm = 22;
constexpr std::array<std::size_t, 4> descriptors = {54, 72, 90, 108};
constexpr std::size_t preferred_timing = 54;

// Display descriptor tags (EDID 1.4 section 3.10.3).
constexpr std::uint8_t tag_serial = 0xFF;
constexpr std::uint8_t tag_product_name = 0xFC;
constexpr std::uint8_t tag_range_limits = 0xFD;

class Block {
public:
    explicit Block(std::span<const std::uint8_t> bytes) : bytes_(bytes.first(block_size)) {}
    std::uint32_t at(std::size_t offset) const { return bytes_[offset]; }

private:
    std::span<const std::uint8_t> bytes_;
};

bool is_display_descriptor(const Block& b, std::size_t at, std::uint8_t tag) {
    return b.at(at) == 0 && b.at(at + 1) == 0 && b.at(at + 2) == 0 && b.at(at + 3) == tag;
}

// C0 and C1 control characters: real name descriptors carry NUL padding and binary junk,
// neither of which may reach the report.
bool is_control(std::uint32_t byte) {
    return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F);
}

// The text of the first display descriptor with this tag (name or serial), trimmed and cleaned.
std::string descriptor_text(const Block& b, std::uint8_t tag) {
    for (const std::size_t at : descriptors) {
        if (!is_display_descriptor(b, at, tag))
            continue;
        std::string text;
        for (std::size_t i = at + 5; i < at + 18 && b.at(i) != 0x0A; ++i) {
            // A tab separates words like a space; other control bytes are junk.
            if (b.at(i) == '\t')
                text += ' ';
            else if (!is_control(b.at(i)))
                append_utf8(text, static_cast<char32_t>(b.at(i)));
        }
        std::string name = clean_name(trim(text));
        if (!name.empty())
            return name;
    }
    return {};
}

// floor(sqrt(n)), by bisection.
std::uint64_t integer_sqrt(std::uint64_t n) {
    std::uint64_t low = 0;
    std::uint64_t high = std::uint64_t{1} << 32;
    while (high - low > 1) {
        const std::uint64_t mid = low + (high - low) / 2;
        (mid * mid <= n ? low : high) = mid;
    }
    return low;
}

}  // namespace

std::optional<DisplayInfo> decode_edid(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < block_size)
        return std::nullopt;
    const Block b(bytes);
    DisplayInfo d;

    d.name = descriptor_text(b, tag_product_name);
    d.serial = descriptor_text(b, tag_serial);
    if (d.serial.empty()) {
        const std::uint32_t number = b.at(id_serial) | b.at(id_serial + 1) << 8 |
                                     b.at(id_serial + 2) << 16 | b.at(id_serial + 3) << 24;
        if (number != 0)
            d.serial = strfmt("%u", number);
    }
    if (d.name.empty()) {
        const std::uint32_t id = b.at(manufacturer_id) << 8 | b.at(manufacturer_id + 1);
        const std::uint32_t letters[] = {(id >> 10) & 0x1F, (id >> 5) & 0x1F, id & 0x1F};
        for (const std::uint32_t letter : letters) {
            if (letter == 0 || letter > 26)
                return std::nullopt;
        }
        const std::uint32_t product = b.at(product_code) | b.at(product_code + 1) << 8;
        d.name = strfmt("%c%c%c %04X", static_cast<char>('A' + letters[0] - 1),
                        static_cast<char>('A' + letters[1] - 1),
                        static_cast<char>('A' + letters[2] - 1), product);
    }

    // Detailed timing descriptor (EDID 1.4 section 3.10.2): a pixel clock of 0 marks a
    // display descriptor instead.
    const std::size_t t = preferred_timing;
    const bool has_timing = b.at(t) != 0 || b.at(t + 1) != 0;
    if (has_timing) {
        d.width_px = b.at(t + 2) + (b.at(t + 4) >> 4) * 256;
        d.height_px = b.at(t + 5) + (b.at(t + 7) >> 4) * 256;
        // An interlaced timing gives the lines of one field; the mode has twice as many.
        if ((b.at(t + 17) & 0x80) != 0)
            d.height_px *= 2;
    }

    // The size in mm of the preferred timing, else the screen size in cm (bytes 21, 22); the
    // diagonal comes from the same pair, so a bogus 255 x 255 cm beside a 600 x 340 mm timing
    // cannot put 142" next to 600 x 340 mm.
    std::uint32_t w_mm = 0;
    std::uint32_t h_mm = 0;
    if (has_timing) {
        w_mm = b.at(t + 12) + (b.at(t + 14) >> 4) * 256;
        if (w_mm != 0)
            h_mm = b.at(t + 13) + (b.at(t + 14) & 0x0F) * 256;
    }
    if (h_mm == 0) {
        w_mm = b.at(max_image_width_cm) * 10;
        h_mm = b.at(max_image_height_cm) * 10;
    }
    d.width_mm = w_mm;
    d.height_mm = h_mm;
    if (w_mm != 0 && h_mm != 0) {
        // The diagonal in tenths of a millimetre, then in whole inches, rounded.
        const std::uint64_t w = w_mm;
        const std::uint64_t h = h_mm;
        const std::uint64_t tenths = integer_sqrt(100 * (w * w + h * h));
        d.diagonal_in = static_cast<std::uint32_t>((tenths + 127) / 254);
    }

    // Week 0xFF marks a model year, not a date of manufacture.
    const std::uint32_t week = b.at(week_of_manufacture);
    const std::uint32_t year = b.at(year_of_manufacture);
    if (week != 0xFF && year != 0) {
        d.year = static_cast<std::uint16_t>(year + 1990);
        d.week = static_cast<std::uint8_t>(week >= 1 && week <= 54 ? week : 0);
    }

    const std::uint32_t input = b.at(video_input);
    if ((input & 0x80) != 0) {
        static constexpr std::uint8_t depths[] = {0, 6, 8, 10, 12, 14, 16, 0};
        d.bits_per_color = depths[(input >> 4) & 7];
    }

    for (const std::size_t at : descriptors) {
        if (!is_display_descriptor(b, at, tag_range_limits))
            continue;
        const std::uint32_t max_v = b.at(at + 6);
        // EDID 1.4 range-limit offsets: byte 4 bit 1 adds 255 Hz to the maximum vertical rate.
        if (max_v != 0)
            d.max_refresh_hz = max_v + ((b.at(at + 4) & 0x02) != 0 ? 255 : 0);
        break;
    }
    return d;
}

}  // namespace nadrel

// Key lookup, GDK_SCALE, image strips, pixel conversion and selection data for the X11 backend.
#include "linux/gui/x11/convert.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "core/text/fields.h"
#include "core/text/unicode.h"

namespace nadrel {

std::uint32_t keysym_for(const KeyboardTable& table, std::uint8_t keycode) {
    if (table.keysyms_per_keycode == 0 || keycode < table.min_keycode) {
        return 0;
    }
    const std::size_t index = std::size_t{table.keysyms_per_keycode} *
                              std::size_t{static_cast<std::uint8_t>(keycode - table.min_keycode)};
    return index < table.keysyms.size() ? table.keysyms[index] : 0;
}

std::optional<float> parse_gdk_scale(std::string_view text) {
    if (!is_valid_utf8(text)) {
        return std::nullopt;
    }
    std::string_view s = trim(text);
    // from_chars takes a leading minus but not a plus.
    if (s.starts_with('+')) {
        s.remove_prefix(1);
        if (s.starts_with('+') || s.starts_with('-')) {
            return std::nullopt;
        }
    }
    if (s.empty()) {
        return std::nullopt;
    }
    float value = 0;
    const auto [end, error] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (end != s.data() + s.size()) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a float: the syntax is fine, so let strtof give the
        // infinity or the zero that the value rounds to.
        const std::string copy(s);
        return std::strtof(copy.c_str(), nullptr);
    }
    if (error != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

std::optional<float> xft_dpi_scale(std::string_view resources) {
    std::optional<float> scale;
    for_each_line(resources, [&](std::string_view line) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || trim(line.substr(0, colon)) != "Xft.dpi") {
            return false;
        }
        const std::string_view value = trim(line.substr(colon + 1));
        float dpi = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), dpi);
        if (error == std::errc{} && end == value.data() + value.size() && std::isfinite(dpi) &&
            dpi > 0) {
            scale = std::round(dpi / 96.0f * 4.0f) / 4.0f;
        }
        return true;
    });
    return scale;
}

void apply_gdk_scale(ReportView& view, std::optional<std::string_view> value) {
    apply_scale_factor(view, value ? parse_gdk_scale(*value) : std::nullopt);
}

void apply_scale_factor(ReportView& view, std::optional<float> factor) {
    if (!factor || !(*factor > 1.0f)) {
        return;
    }
    set_scale(view, *factor);
    const std::int32_t width = scaled_side(*factor, view.width);
    const std::int32_t height = scaled_side(*factor, view.height);
    if (width != view.width || height != view.height) {
        resize(view, width, height);
    }
}

std::int32_t scaled_side(float factor, std::int32_t side) {
    const float product = factor * static_cast<float>(side);
    return std::clamp(trunc_i32(static_cast<double>(product)), 1, max_view_side);
}

std::int32_t rows_per_request(std::size_t max_request_bytes, std::int32_t width) {
    const std::size_t room = max_request_bytes > 64 ? max_request_bytes - 64 : 0;
    const std::size_t row_bytes =
        std::max<std::size_t>(1, static_cast<std::size_t>(std::max<std::int32_t>(width, 0)) * 4);
    const std::size_t rows = room / row_bytes;
    return static_cast<std::int32_t>(
        std::clamp<std::size_t>(rows, 1, static_cast<std::size_t>(INT32_MAX)));
}

std::uint32_t mask_shift(std::uint32_t mask) {
    return static_cast<std::uint32_t>(std::countr_zero(mask));
}

std::uint32_t server_pixel(const X11PixelLayout& layout, std::uint32_t colour) {
    return (((colour >> 16) & 0xFF) << (layout.red_shift % 32)) |
           (((colour >> 8) & 0xFF) << (layout.green_shift % 32)) |
           ((colour & 0xFF) << (layout.blue_shift % 32));
}

void convert_rows(std::span<const std::uint32_t> pixels, std::int32_t width, std::int32_t y,
                  std::int32_t rows, const X11PixelLayout& layout, std::vector<std::uint8_t>& out) {
    const std::size_t w = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t first = static_cast<std::size_t>(std::max(y, 0)) * w;
    std::size_t count = static_cast<std::size_t>(std::max(rows, 0)) * w;
    count = first < pixels.size() ? std::min(count, pixels.size() - first) : 0;
    out.resize(count * 4);

    std::uint8_t* d = out.data();
    for (std::size_t i = 0; i < count; ++i, d += 4) {
        const std::uint32_t v = server_pixel(layout, pixels[first + i]);
        if (layout.msb_first) {
            d[0] = static_cast<std::uint8_t>(v >> 24);
            d[1] = static_cast<std::uint8_t>(v >> 16);
            d[2] = static_cast<std::uint8_t>(v >> 8);
            d[3] = static_cast<std::uint8_t>(v);
        } else {
            d[0] = static_cast<std::uint8_t>(v);
            d[1] = static_cast<std::uint8_t>(v >> 8);
            d[2] = static_cast<std::uint8_t>(v >> 16);
            d[3] = static_cast<std::uint8_t>(v >> 24);
        }
    }
}

std::string latin1_from_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = next_char(text, i);
        out.push_back(c <= 0xFF ? static_cast<char>(static_cast<unsigned char>(c)) : '?');
    }
    return out;
}

std::optional<SelectionData> selection_data(const SelectionAtoms& atoms, std::uint32_t target,
                                            std::string_view text) {
    SelectionData data;
    if (target == atoms.targets) {
        data.type = atom_atom;
        data.format = 32;
        for (const std::uint32_t atom :
             {atoms.targets, atoms.utf8_string, atoms.text, atom_string}) {
            for (int b = 0; b < 4; ++b) {
                data.bytes.push_back(static_cast<std::uint8_t>(atom >> (8 * b)));
            }
        }
        // Property data travels in the client's byte order, which is this machine's.
        if constexpr (std::endian::native == std::endian::big) {
            for (std::size_t i = 0; i < data.bytes.size(); i += 4) {
                std::reverse(data.bytes.begin() + static_cast<std::ptrdiff_t>(i),
                             data.bytes.begin() + static_cast<std::ptrdiff_t>(i) + 4);
            }
        }
        return data;
    }
    if (target == atoms.utf8_string || target == atoms.text) {
        // TEXT lets the owner pick the encoding: UTF-8 keeps every character.
        data.type = atoms.utf8_string;
        data.bytes.assign(text.begin(), text.end());
        return data;
    }
    if (target == atom_string) {
        const std::string latin1 = latin1_from_utf8(text);
        data.type = atom_string;
        data.bytes.assign(latin1.begin(), latin1.end());
        return data;
    }
    return std::nullopt;
}

}  // namespace nadrel

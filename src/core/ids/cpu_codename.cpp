// Processor code names and manufacturing processes, by vendor, family and model number.
#include "core/ids/cpu_codename.h"

#include <charconv>
#include <cmath>
#include <span>

#include "core/text/fields.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

struct CodenameRow {
    std::uint32_t family;
    std::uint32_t model;
    const char* codename;
    const char* process;
};

// Rows are walked in order and the first match wins, so keep the order as it is.
constexpr CodenameRow amd_rows[] = {
    {23, 0x01, "Zeppelin (Zen)", "GlobalFoundries 14nm"},
    {23, 0x11, "Raven Ridge (Zen)", "GlobalFoundries 14nm"},
    {23, 0x20, "Dali (Zen)", "GlobalFoundries 14nm"},
    {23, 0x08, "Pinnacle Ridge (Zen+)", "GlobalFoundries 12nm"},
    {23, 0x18, "Picasso (Zen+)", "GlobalFoundries 12nm"},
    {23, 0x31, "Rome (Zen 2)", "TSMC N7"},
    {23, 0x60, "Renoir (Zen 2)", "TSMC N7"},
    {23, 0x68, "Lucienne (Zen 2)", "TSMC N7"},
    {23, 0x71, "Matisse (Zen 2)", "TSMC N7"},
    {23, 0x90, "Van Gogh (Zen 2)", "TSMC N7"},
    {25, 0x01, "Milan (Zen 3)", "TSMC N7"},
    {25, 0x21, "Vermeer (Zen 3)", "TSMC N7"},
    {25, 0x50, "Cezanne (Zen 3)", "TSMC N7"},
    {25, 0x44, "Rembrandt (Zen 3+)", "TSMC N6"},
    {25, 0x11, "Genoa (Zen 4)", "TSMC N5"},
    {25, 0x61, "Raphael (Zen 4)", "TSMC N5"},
    {25, 0x74, "Phoenix (Zen 4)", "TSMC N4"},
    {25, 0x75, "Phoenix 2 (Zen 4)", "TSMC N4"},
    {26, 0x02, "Granite Ridge (Zen 5)", "TSMC N4"},
    {26, 0x11, "Turin (Zen 5)", "TSMC N4"},
    {26, 0x24, "Strix Point (Zen 5)", "TSMC N4"},
    {26, 0x44, "Strix Halo (Zen 5)", "TSMC N4"},
};

constexpr CodenameRow intel_rows[] = {
    {6, 0x2A, "Sandy Bridge", "Intel 32nm"},
    {6, 0x2D, "Sandy Bridge-E", "Intel 32nm"},
    {6, 0x3A, "Ivy Bridge", "Intel 22nm"},
    {6, 0x3E, "Ivy Bridge-E", "Intel 22nm"},
    {6, 0x3C, "Haswell", "Intel 22nm"},
    {6, 0x3F, "Haswell-E", "Intel 22nm"},
    {6, 0x45, "Haswell", "Intel 22nm"},
    {6, 0x46, "Haswell", "Intel 22nm"},
    {6, 0x3D, "Broadwell", "Intel 14nm"},
    {6, 0x47, "Broadwell", "Intel 14nm"},
    {6, 0x4F, "Broadwell-E", "Intel 14nm"},
    {6, 0x56, "Broadwell-DE", "Intel 14nm"},
    {6, 0x4E, "Skylake", "Intel 14nm"},
    {6, 0x5E, "Skylake", "Intel 14nm"},
    {6, 0x5C, "Apollo Lake", "Intel 14nm"},
    {6, 0x7A, "Gemini Lake", "Intel 14nm"},
    {6, 0xA5, "Comet Lake", "Intel 14nm"},
    {6, 0xA6, "Comet Lake", "Intel 14nm"},
    {6, 0xA7, "Rocket Lake", "Intel 14nm"},
    {6, 0x7D, "Ice Lake", "Intel 10nm"},
    {6, 0x7E, "Ice Lake", "Intel 10nm"},
    {6, 0x6A, "Ice Lake-SP", "Intel 10nm"},
    {6, 0x6C, "Ice Lake-SP", "Intel 10nm"},
    {6, 0x96, "Elkhart Lake", "Intel 10nm"},
    {6, 0x9C, "Jasper Lake", "Intel 10nm"},
    {6, 0x8C, "Tiger Lake", "Intel 10nm SuperFin"},
    {6, 0x8D, "Tiger Lake", "Intel 10nm SuperFin"},
    {6, 0x8F, "Sapphire Rapids", "Intel 7"},
    {6, 0xCF, "Emerald Rapids", "Intel 7"},
    {6, 0x97, "Alder Lake", "Intel 7"},
    {6, 0x9A, "Alder Lake", "Intel 7"},
    {6, 0xBE, "Alder Lake-N", "Intel 7"},
    {6, 0xB7, "Raptor Lake", "Intel 7"},
    {6, 0xBA, "Raptor Lake", "Intel 7"},
    {6, 0xBF, "Raptor Lake", "Intel 7"},
    {6, 0xAA, "Meteor Lake", "Intel 4"},
    {6, 0xAC, "Meteor Lake", "Intel 4"},
    {6, 0xAD, "Granite Rapids", "Intel 3"},
    {6, 0xAE, "Granite Rapids", "Intel 3"},
    {6, 0xAF, "Sierra Forest", "Intel 3"},
    {6, 0xBD, "Lunar Lake", "TSMC N3B"},
    {6, 0xC5, "Arrow Lake", "TSMC N3B"},
    {6, 0xC6, "Arrow Lake", "TSMC N3B"},
    {6, 0xCC, "Panther Lake", "Intel 18A"},
    {6, 0xDD, "Clearwater Forest", "Intel 18A"},
};

}  // namespace

std::optional<CpuCodename> cpu_codename(std::string_view vendor_id, std::uint32_t family,
                                        std::uint32_t model_number) {
    std::span<const CodenameRow> rows;
    if (vendor_id == "AuthenticAMD") {
        rows = amd_rows;
    } else if (vendor_id == "GenuineIntel") {
        rows = intel_rows;
    } else {
        return std::nullopt;
    }
    for (const auto& row : rows) {
        if (row.family == family && row.model == model_number) {
            return CpuCodename{row.codename, row.process};
        }
    }
    return std::nullopt;
}

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool names_model(std::string_view word) {
    bool letter = false;
    bool digit = false;
    std::size_t run = 0;
    for (const char c : word) {
        run = is_digit(c) ? run + 1 : 0;
        if (run >= 3)
            return true;
        letter = letter || is_letter(c);
        digit = digit || is_digit(c);
    }
    return letter && digit;
}

}  // namespace

bool brand_names_model(std::string_view brand) {
    brand = brand.substr(0, brand.find('@'));
    for (const std::string_view word : split_fields(brand)) {
        if (names_model(word))
            return true;
    }
    return false;
}

std::optional<CpuCodename> shown_cpu_codename(const CpuInfo& cpu, bool virtual_machine) {
    if (!cpu.vendor_id || (virtual_machine && !brand_names_model(cpu.model)))
        return std::nullopt;
    return cpu_codename(*cpu.vendor_id, cpu.family, cpu.model_number);
}

std::uint32_t brand_rated_mhz(std::string_view brand) {
    const std::size_t at = brand.rfind('@');
    if (at == std::string_view::npos)
        return 0;
    std::string_view rating = trim(brand.substr(at + 1));
    double scale = 0;
    if (ends_with(rating, "GHz"))
        scale = 1000;
    else if (ends_with(rating, "MHz"))
        scale = 1;
    else
        return 0;
    rating = trim(rating.substr(0, rating.size() - 3));
    double value = 0;
    const auto [end, ec] = std::from_chars(rating.data(), rating.data() + rating.size(), value,
                                           std::chars_format::fixed);
    if (ec != std::errc() || end != rating.data() + rating.size() || !(value > 0) ||
        value * scale >= 1e6)
        return 0;
    return static_cast<std::uint32_t>(std::lround(value * scale));
}

}  // namespace nadrel

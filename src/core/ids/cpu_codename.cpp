// Processor code names and manufacturing processes, by vendor, family and model number.
#include "core/ids/cpu_codename.h"

#include <span>

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

}  // namespace nadrel

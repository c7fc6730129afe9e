// The implementer and part-number table, written from the manufacturers' published MIDR
// values (Arm's technical reference manuals, and the vendors' own lists for the others).
#include "core/ids/arm_parts.h"

#include <array>

namespace nadrel {

namespace {

struct ArmPart {
    std::uint16_t implementer;
    std::uint16_t part;
    std::string_view name;
};

constexpr std::array arm_parts{
    // 0x41 Arm
    ArmPart{0x41, 0x810, "ARM810"},
    ArmPart{0x41, 0x920, "ARM920"},
    ArmPart{0x41, 0x922, "ARM922"},
    ArmPart{0x41, 0x926, "ARM926"},
    ArmPart{0x41, 0x940, "ARM940"},
    ArmPart{0x41, 0x946, "ARM946"},
    ArmPart{0x41, 0x966, "ARM966"},
    ArmPart{0x41, 0xa20, "ARM1020"},
    ArmPart{0x41, 0xa22, "ARM1022"},
    ArmPart{0x41, 0xa26, "ARM1026"},
    ArmPart{0x41, 0xb02, "ARM11 MPCore"},
    ArmPart{0x41, 0xb36, "ARM1136"},
    ArmPart{0x41, 0xb56, "ARM1156"},
    ArmPart{0x41, 0xb76, "ARM1176"},
    ArmPart{0x41, 0xc05, "Cortex-A5"},
    ArmPart{0x41, 0xc07, "Cortex-A7"},
    ArmPart{0x41, 0xc08, "Cortex-A8"},
    ArmPart{0x41, 0xc09, "Cortex-A9"},
    ArmPart{0x41, 0xc0d, "Cortex-A17"},  // first shipped as Cortex-A12
    ArmPart{0x41, 0xc0f, "Cortex-A15"},
    ArmPart{0x41, 0xc0e, "Cortex-A17"},
    ArmPart{0x41, 0xc14, "Cortex-R4"},
    ArmPart{0x41, 0xc15, "Cortex-R5"},
    ArmPart{0x41, 0xc17, "Cortex-R7"},
    ArmPart{0x41, 0xc18, "Cortex-R8"},
    ArmPart{0x41, 0xc20, "Cortex-M0"},
    ArmPart{0x41, 0xc21, "Cortex-M1"},
    ArmPart{0x41, 0xc23, "Cortex-M3"},
    ArmPart{0x41, 0xc24, "Cortex-M4"},
    ArmPart{0x41, 0xc27, "Cortex-M7"},
    ArmPart{0x41, 0xc60, "Cortex-M0+"},
    ArmPart{0x41, 0xd01, "Cortex-A32"},
    ArmPart{0x41, 0xd02, "Cortex-A34"},
    ArmPart{0x41, 0xd03, "Cortex-A53"},
    ArmPart{0x41, 0xd04, "Cortex-A35"},
    ArmPart{0x41, 0xd05, "Cortex-A55"},
    ArmPart{0x41, 0xd06, "Cortex-A65"},
    ArmPart{0x41, 0xd07, "Cortex-A57"},
    ArmPart{0x41, 0xd08, "Cortex-A72"},
    ArmPart{0x41, 0xd09, "Cortex-A73"},
    ArmPart{0x41, 0xd0a, "Cortex-A75"},
    ArmPart{0x41, 0xd0b, "Cortex-A76"},
    ArmPart{0x41, 0xd0c, "Neoverse-N1"},
    ArmPart{0x41, 0xd0d, "Cortex-A77"},
    ArmPart{0x41, 0xd0e, "Cortex-A76AE"},
    ArmPart{0x41, 0xd13, "Cortex-R52"},
    ArmPart{0x41, 0xd15, "Cortex-R82"},
    ArmPart{0x41, 0xd16, "Cortex-R52+"},
    ArmPart{0x41, 0xd20, "Cortex-M23"},
    ArmPart{0x41, 0xd21, "Cortex-M33"},
    ArmPart{0x41, 0xd22, "Cortex-M55"},
    ArmPart{0x41, 0xd23, "Cortex-M85"},
    ArmPart{0x41, 0xd40, "Neoverse-V1"},
    ArmPart{0x41, 0xd41, "Cortex-A78"},
    ArmPart{0x41, 0xd42, "Cortex-A78AE"},
    ArmPart{0x41, 0xd43, "Cortex-A65AE"},
    ArmPart{0x41, 0xd44, "Cortex-X1"},
    ArmPart{0x41, 0xd46, "Cortex-A510"},
    ArmPart{0x41, 0xd47, "Cortex-A710"},
    ArmPart{0x41, 0xd48, "Cortex-X2"},
    ArmPart{0x41, 0xd49, "Neoverse-N2"},
    ArmPart{0x41, 0xd4a, "Neoverse-E1"},
    ArmPart{0x41, 0xd4b, "Cortex-A78C"},
    ArmPart{0x41, 0xd4c, "Cortex-X1C"},
    ArmPart{0x41, 0xd4d, "Cortex-A715"},
    ArmPart{0x41, 0xd4e, "Cortex-X3"},
    ArmPart{0x41, 0xd4f, "Neoverse-V2"},
    ArmPart{0x41, 0xd80, "Cortex-A520"},
    ArmPart{0x41, 0xd81, "Cortex-A720"},
    ArmPart{0x41, 0xd82, "Cortex-X4"},
    ArmPart{0x41, 0xd83, "Neoverse-V3AE"},
    ArmPart{0x41, 0xd84, "Neoverse-V3"},
    ArmPart{0x41, 0xd85, "Cortex-X925"},
    ArmPart{0x41, 0xd87, "Cortex-A725"},
    ArmPart{0x41, 0xd88, "Cortex-A520AE"},
    ArmPart{0x41, 0xd89, "Cortex-A720AE"},
    ArmPart{0x41, 0xd8e, "Neoverse-N3"},
    // 0x42 Broadcom
    ArmPart{0x42, 0x00f, "Brahma-B15"},
    ArmPart{0x42, 0x100, "Brahma-B53"},
    ArmPart{0x42, 0x516, "ThunderX2"},
    // 0x43 Cavium
    ArmPart{0x43, 0x0a0, "ThunderX"},
    ArmPart{0x43, 0x0a1, "ThunderX-88XX"},
    ArmPart{0x43, 0x0a2, "ThunderX-81XX"},
    ArmPart{0x43, 0x0a3, "ThunderX-83XX"},
    ArmPart{0x43, 0x0af, "ThunderX2-99xx"},
    ArmPart{0x43, 0x0b0, "OcteonTX2"},
    ArmPart{0x43, 0x0b1, "OcteonTX2-98XX"},
    ArmPart{0x43, 0x0b2, "OcteonTX2-96XX"},
    ArmPart{0x43, 0x0b3, "OcteonTX2-95XX"},
    ArmPart{0x43, 0x0b4, "OcteonTX2-95XXN"},
    ArmPart{0x43, 0x0b5, "OcteonTX2-95XXMM"},
    ArmPart{0x43, 0x0b6, "OcteonTX2-95XXO"},
    ArmPart{0x43, 0x0b8, "ThunderX3-T110"},
    // 0x44 DEC
    ArmPart{0x44, 0xa10, "SA110"},
    ArmPart{0x44, 0xa11, "SA1100"},
    // 0x46 Fujitsu
    ArmPart{0x46, 0x001, "A64FX"},
    ArmPart{0x46, 0x003, "MONAKA"},
    // 0x48 HiSilicon
    ArmPart{0x48, 0xd01, "Kunpeng-920"},
    ArmPart{0x48, 0xd40, "Cortex-A76"},  // Kirin 980's big cores
    // 0x4e NVIDIA
    ArmPart{0x4e, 0x000, "Denver"},
    ArmPart{0x4e, 0x003, "Denver 2"},
    ArmPart{0x4e, 0x004, "Carmel"},
    // 0x50 Applied Micro
    ArmPart{0x50, 0x000, "X-Gene"},
    // 0x51 Qualcomm
    ArmPart{0x51, 0x001, "Oryon"},
    ArmPart{0x51, 0x00f, "Scorpion"},
    ArmPart{0x51, 0x02d, "Scorpion"},
    ArmPart{0x51, 0x04d, "Krait"},
    ArmPart{0x51, 0x06f, "Krait"},
    ArmPart{0x51, 0x201, "Kryo"},
    ArmPart{0x51, 0x205, "Kryo"},
    ArmPart{0x51, 0x211, "Kryo"},
    ArmPart{0x51, 0x800, "Falkor-V1/Kryo"},
    ArmPart{0x51, 0x801, "Kryo-V2"},
    ArmPart{0x51, 0x802, "Kryo-3XX-Gold"},
    ArmPart{0x51, 0x803, "Kryo-3XX-Silver"},
    ArmPart{0x51, 0x804, "Kryo-4XX-Gold"},
    ArmPart{0x51, 0x805, "Kryo-4XX-Silver"},
    ArmPart{0x51, 0xc00, "Falkor"},
    ArmPart{0x51, 0xc01, "Saphira"},
    // 0x53 Samsung
    ArmPart{0x53, 0x001, "exynos-m1"},
    ArmPart{0x53, 0x002, "exynos-m3"},
    ArmPart{0x53, 0x003, "exynos-m4"},
    ArmPart{0x53, 0x004, "exynos-m5"},
    // 0x56 Marvell
    ArmPart{0x56, 0x131, "Feroceon-88FR131"},
    ArmPart{0x56, 0x581, "PJ4/PJ4b"},
    ArmPart{0x56, 0x584, "PJ4B-MP"},
    // 0x61 Apple
    ArmPart{0x61, 0x000, "Swift"},
    ArmPart{0x61, 0x001, "Cyclone"},
    ArmPart{0x61, 0x002, "Typhoon"},
    ArmPart{0x61, 0x003, "Typhoon/Capri"},
    ArmPart{0x61, 0x004, "Twister"},
    ArmPart{0x61, 0x005, "Twister/Elba/Malta"},
    ArmPart{0x61, 0x006, "Hurricane"},
    ArmPart{0x61, 0x007, "Hurricane/Myst"},
    ArmPart{0x61, 0x008, "Monsoon"},
    ArmPart{0x61, 0x009, "Mistral"},
    ArmPart{0x61, 0x00b, "Vortex"},
    ArmPart{0x61, 0x00c, "Tempest"},
    ArmPart{0x61, 0x00f, "Tempest-M9"},
    ArmPart{0x61, 0x010, "Vortex/Aruba"},
    ArmPart{0x61, 0x011, "Tempest/Aruba"},
    ArmPart{0x61, 0x012, "Lightning"},
    ArmPart{0x61, 0x013, "Thunder"},
    ArmPart{0x61, 0x020, "Icestorm-A14"},
    ArmPart{0x61, 0x021, "Firestorm-A14"},
    ArmPart{0x61, 0x022, "Icestorm-M1"},
    ArmPart{0x61, 0x023, "Firestorm-M1"},
    ArmPart{0x61, 0x024, "Icestorm-M1-Pro"},
    ArmPart{0x61, 0x025, "Firestorm-M1-Pro"},
    ArmPart{0x61, 0x026, "Thunder-M10"},
    ArmPart{0x61, 0x028, "Icestorm-M1-Max"},
    ArmPart{0x61, 0x029, "Firestorm-M1-Max"},
    ArmPart{0x61, 0x030, "Blizzard-A15"},
    ArmPart{0x61, 0x031, "Avalanche-A15"},
    ArmPart{0x61, 0x032, "Blizzard-M2"},
    ArmPart{0x61, 0x033, "Avalanche-M2"},
    ArmPart{0x61, 0x034, "Blizzard-M2-Pro"},
    ArmPart{0x61, 0x035, "Avalanche-M2-Pro"},
    ArmPart{0x61, 0x036, "Sawtooth-A16"},
    ArmPart{0x61, 0x037, "Everest-A16"},
    ArmPart{0x61, 0x038, "Blizzard-M2-Max"},
    ArmPart{0x61, 0x039, "Avalanche-M2-Max"},
    // 0x66 Faraday
    ArmPart{0x66, 0x526, "FA526"},
    ArmPart{0x66, 0x626, "FA626"},
    // 0x69 Intel (XScale)
    ArmPart{0x69, 0x200, "i80200"},
    ArmPart{0x69, 0x210, "PXA250A"},
    ArmPart{0x69, 0x212, "PXA210A"},
    ArmPart{0x69, 0x242, "i80321-400"},
    ArmPart{0x69, 0x243, "i80321-600"},
    ArmPart{0x69, 0x290, "PXA250B/PXA26x"},
    ArmPart{0x69, 0x292, "PXA210B"},
    ArmPart{0x69, 0x2c2, "i80321-400-B0"},
    ArmPart{0x69, 0x2c3, "i80321-600-B0"},
    ArmPart{0x69, 0x2d0, "PXA250C/PXA255/PXA26x"},
    ArmPart{0x69, 0x2d2, "PXA210C"},
    ArmPart{0x69, 0x411, "PXA27x"},
    ArmPart{0x69, 0x41c, "IPX425-533"},
    ArmPart{0x69, 0x41d, "IPX425-400"},
    ArmPart{0x69, 0x41f, "IPX425-266"},
    ArmPart{0x69, 0x682, "PXA32x"},
    ArmPart{0x69, 0x683, "PXA930/PXA935"},
    ArmPart{0x69, 0x688, "PXA30x"},
    ArmPart{0x69, 0x689, "PXA31x"},
    ArmPart{0x69, 0xb11, "SA1110"},
    ArmPart{0x69, 0xc12, "IPX1200"},
    // 0x6d Microsoft
    ArmPart{0x6d, 0xd49, "Azure-Cobalt-100"},
    // 0x70 Phytium
    ArmPart{0x70, 0x303, "FTC310"},
    ArmPart{0x70, 0x660, "FTC660"},
    ArmPart{0x70, 0x661, "FTC661"},
    ArmPart{0x70, 0x662, "FTC662"},
    ArmPart{0x70, 0x663, "FTC663"},
    ArmPart{0x70, 0x664, "FTC664"},
    ArmPart{0x70, 0x862, "FTC862"},
    // 0xc0 Ampere
    ArmPart{0xc0, 0xac3, "Ampere-1"},
    ArmPart{0xc0, 0xac4, "Ampere-1a"},
};

}  // namespace

std::optional<std::string_view> arm_part_name(std::uint32_t implementer, std::uint32_t part) {
    for (const ArmPart& p : arm_parts) {
        if (p.implementer == implementer && p.part == part)
            return p.name;
    }
    return std::nullopt;
}

}  // namespace nadrel

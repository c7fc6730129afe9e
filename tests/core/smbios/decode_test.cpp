// Decoders of single SMBIOS structures: memory devices and arrays, slots, ports, processors,
// BIOS ROM size, and the entry-point version.
#include "core/smbios/decode.h"

#include <gtest/gtest.h>

#include "core/smbios/builder.h"
#include "core/smbios/snapshot.h"

namespace nadrel {
namespace {

using test::StructureBuilder;

constexpr std::uint64_t kib = 1024;
constexpr std::uint64_t mib = kib * 1024;
constexpr std::uint64_t gib = mib * 1024;

// A DDR4 DIMM as SMBIOS 3.2 writes it (length 0x28).
StructureBuilder dimm(std::uint16_t size_word) {
    StructureBuilder b(17, 0x28);
    b.word(0x08, 72).word(0x0A, 64).word(0x0C, size_word).set(0x0E, 0x09).set(0x10, 1);
    b.set(0x12, 0x1A).word(0x15, 3200).set(0x17, 2).set(0x1A, 3).set(0x1B, 0x22);
    b.word(0x20, 2933).word(0x26, 1200).strings({"DIMM_A1", "Kingston ", " KHX3200C16D4/16GX "});
    return b;
}

TEST(DecodeMemoryDevice, SizeEncodings) {
    struct Case {
        std::uint16_t word;
        std::uint32_t extended;
        std::uint64_t size;  // 0: no module
    };
    const Case cases[] = {
        {0x7FFF, 16384, 16 * gib},
        {0x8400, 0, 1 * mib},
        {0x0400, 0, 1 * gib},
        {0x0000, 0, 0},
        {0xFFFF, 0, 0},
        {0x7FFF, 0, 0},
        {0x7FFF, 0x80000400, 1 * gib},  // bit 31 of the extended size is reserved
        {0x8000, 0, 0},                 // 0 KiB is no module either
        {0x7FFE, 0, 0x7FFE * mib},
    };
    for (const Case& c : cases) {
        const auto m = decode_memory_device(dimm(c.word).dword(0x1C, c.extended));
        if (c.size == 0) {
            EXPECT_FALSE(m.has_value()) << std::hex << c.word;
        } else {
            ASSERT_TRUE(m.has_value()) << std::hex << c.word;
            EXPECT_EQ(m->size, c.size) << std::hex << c.word;
        }
    }
}

TEST(DecodeMemoryDevice, AllFields) {
    const auto m = decode_memory_device(dimm(0x4000));
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->size, 16 * gib);
    EXPECT_EQ(m->locator, "DIMM_A1");
    EXPECT_EQ(m->memory_type, "DDR4");
    EXPECT_EQ(m->form_factor, "DIMM");
    EXPECT_EQ(m->manufacturer, "Kingston");
    EXPECT_EQ(m->part_number, "KHX3200C16D4/16GX");
    EXPECT_EQ(m->speed_mts, 3200u);
    EXPECT_EQ(m->configured_speed_mts, 2933u);
    EXPECT_EQ(m->total_width, 72);
    EXPECT_EQ(m->data_width, 64);
    EXPECT_EQ(m->rank, 2);  // low nibble only
    EXPECT_EQ(m->configured_voltage_mv, 1200);
}

TEST(DecodeMemoryDevice, ExtendedSpeeds) {
    StructureBuilder b = dimm(0x4000);
    b.word(0x15, 0xFFFF).word(0x20, 0xFFFF);
    // A 0x5C-byte structure holds both extended speed dwords (SMBIOS 3.3).
    StructureBuilder big(17, 0x5C);
    for (std::size_t i = 2; i < 0x28; ++i)
        big.set(i, b.get().formatted[i]);
    big.dword(0x54, 70000).dword(0x58, 66000).strings({"DIMM_A1"});
    const auto m = decode_memory_device(big);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->speed_mts, 70000u);
    EXPECT_EQ(m->configured_speed_mts, 66000u);
    // In a shorter structure the extended fields read as 0.
    const auto short_one = decode_memory_device(b);
    ASSERT_TRUE(short_one.has_value());
    EXPECT_EQ(short_one->speed_mts, 0u);
    EXPECT_EQ(short_one->configured_speed_mts, 0u);
}

TEST(DecodeMemoryDevice, ShortStructureIsOther) {
    const DmiStructure s =
        StructureBuilder(17, 0x12).word(0x0C, 0x0800).set(0x10, 1).strings({"BANK 0"});
    const auto m = decode_memory_device(s);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->size, 2 * gib);
    EXPECT_EQ(m->locator, "BANK 0");
    EXPECT_EQ(m->memory_type, "Other");
    EXPECT_EQ(m->manufacturer, "");
    EXPECT_EQ(m->part_number, "");
    EXPECT_EQ(m->speed_mts, 0u);
    EXPECT_EQ(m->configured_speed_mts, 0u);
    EXPECT_EQ(m->form_factor, "");
}

TEST(DecodeSlot, WidthAndTypeText) {
    struct Case {
        std::uint8_t type;
        std::uint8_t width;
        const char* slot_type;
        const char* width_text;
    };
    const Case cases[] = {
        {0xB8, 0x0D, "PCI Express Gen4", "x16"},
        {0xBD, 0x0D, "PCI Express Gen4 x16", ""},  // the type already says x16
        {0xAA, 0x08, "PCI Express x16", ""},       // "x1" is a substring of "x16"
        {0x06, 0x05, "PCI", ""},                   // 32-bit: not a lane width
        {0x17, 0x0A, "M.2 Socket 3 (Key M)", "x4"},
        {0x0E, 0x0E, "Slot type 0x0E", "x32"},
    };
    for (const Case& c : cases) {
        const SystemSlot slot = decode_slot(StructureBuilder(9, 0x11)
                                                .set(4, 1)
                                                .set(5, c.type)
                                                .set(6, c.width)
                                                .set(7, 4)
                                                .strings({" PCIE1 "}));
        EXPECT_EQ(slot.designation, "PCIE1");
        EXPECT_EQ(slot.slot_type, c.slot_type);
        EXPECT_EQ(slot.width, c.width_text) << c.slot_type;
        EXPECT_EQ(slot.usage, "In use");
    }
}

TEST(DecodeSlot, ShortAreasAndUsage) {
    const SystemSlot tiny = decode_slot(StructureBuilder(9, 5));
    EXPECT_EQ(tiny.slot_type, "Slot type 0x00");
    EXPECT_EQ(tiny.width, "");
    EXPECT_EQ(tiny.usage, "Unknown");
    // Seven bytes: width read, usage (at 07h) not.
    const SystemSlot seven = decode_slot(StructureBuilder(9, 7).set(5, 0xA5).set(6, 0x0B));
    EXPECT_EQ(seven.slot_type, "PCI Express");
    EXPECT_EQ(seven.width, "x8");
    EXPECT_EQ(seven.usage, "Unknown");
    for (auto [code, text] : {std::pair{3, "Available"},
                              {4, "In use"},
                              {5, "Unavailable"},
                              {2, "Unknown"},
                              {6, "Unknown"}}) {
        EXPECT_EQ(
            decode_slot(StructureBuilder(9, 8).set(7, static_cast<std::uint64_t>(code))).usage,
            text);
    }
}

TEST(DecodePort, DesignatorsAndOther) {
    const auto port = [](std::uint8_t type, std::uint8_t internal, std::uint8_t external,
                         std::initializer_list<std::string> strings) {
        return decode_port(
            StructureBuilder(8, 9).set(4, internal).set(6, external).set(8, type).strings(strings));
    };
    EXPECT_FALSE(port(0xFF, 0, 0, {}).has_value());
    const auto rear = port(0xFF, 0, 1, {"REAR USB"});
    ASSERT_TRUE(rear.has_value());
    EXPECT_EQ(rear->designator, "REAR USB");
    EXPECT_EQ(rear->port_type, "Other");
    // A placeholder external designator is taken as it is (it is non-empty), so the port goes.
    EXPECT_FALSE(port(0xFF, 1, 2, {"J1", "Not Specified"}).has_value());
    // The external designator wins; an empty one falls back to the internal one.
    const auto both = port(0x10, 1, 2, {"J3A1", " USB 3.0 "});
    ASSERT_TRUE(both.has_value());
    EXPECT_EQ(both->designator, "USB 3.0");
    EXPECT_EQ(both->port_type, "USB");
    const auto internal = port(0x0D, 1, 2, {"PS2KB", "  "});
    ASSERT_TRUE(internal.has_value());
    EXPECT_EQ(internal->designator, "PS2KB");
    EXPECT_EQ(internal->port_type, "Keyboard");
    // Named types are kept even without a label; unnamed ones never are.
    const auto bare = port(0x1F, 0, 0, {});
    ASSERT_TRUE(bare.has_value());
    EXPECT_EQ(bare->designator, "");
    EXPECT_FALSE(port(0x1E, 1, 0, {"MODEM"}).has_value());
    EXPECT_FALSE(port(0x00, 1, 0, {"J9"}).has_value());
    // Shorter than 9 bytes: skipped, even with a named type byte out of reach.
    EXPECT_FALSE(decode_port(StructureBuilder(8, 8).set(4, 1).strings({"J1"})).has_value());
}

TEST(DecodeMemoryArray, CapacityDevicesAndErrorCorrection) {
    StructureBuilder array(16, 0x17);
    array.set(0x06, 6).dword(0x07, 0x04000000).word(0x0D, 4);
    EXPECT_EQ(memory_array_capacity(array), 64 * gib);
    EXPECT_EQ(memory_array_devices(array), 4u);
    EXPECT_EQ(memory_array_ecc(array), "Multi-bit ECC");
    array.dword(0x07, 0x80000000).qword(0x0F, 6 * 1024 * gib).word(0x0D, 0xFFFF).set(0x06, 3);
    EXPECT_EQ(memory_array_capacity(array), 6 * 1024 * gib);
    EXPECT_EQ(memory_array_devices(array), 0u);
    EXPECT_EQ(memory_array_ecc(array), "None");
    // The device count word's high byte (0Eh) is not the error-correction type.
    StructureBuilder counted(16, 0x0F);
    counted.set(0x06, 5).word(0x0D, 0x0300);
    EXPECT_EQ(memory_array_ecc(counted), "Single-bit ECC");
    for (const int code : {0, 1, 2, 8, 0xFF}) {
        EXPECT_EQ(memory_array_ecc(
                      StructureBuilder(16, 0x0F).set(0x06, static_cast<std::uint64_t>(code))),
                  "")
            << code;
    }
    EXPECT_EQ(memory_array_ecc(StructureBuilder(16, 0x0E).set(0x06, 5)), "");
}

TEST(DecodeProcessor, SocketAndPopulated) {
    const DmiStructure full =
        StructureBuilder(4, 0x19).set(4, 1).set(0x18, 0x41).strings({" CPU0 "});
    EXPECT_EQ(processor_socket(full), "CPU0");
    EXPECT_TRUE(processor_populated(full));
    EXPECT_FALSE(processor_populated(StructureBuilder(4, 0x19).set(0x18, 0x01)));
    EXPECT_FALSE(processor_populated(StructureBuilder(4, 0x18)));
}

TEST(DecodeBios, RomSize) {
    struct Case {
        std::size_t length;
        std::uint8_t rom;
        std::uint16_t extended;
        std::uint64_t size;
    };
    const Case cases[] = {
        {0x18, 0x00, 0, 64 * kib},
        {0x18, 0x7F, 0, 8 * mib},
        {0x09, 0x7F, 0, 64 * kib},
        {0x1A, 0xFF, 0x0010, 16 * mib},
        {0x1A, 0xFF, 0x4002, 2 * gib},
        {0x1A, 0xFF, 0x8002, 0},
        {0x1A, 0xFF, 0xC002, 0},
        {0x18, 0xFF, 0x0010, 16 * mib},  // no extended field before SMBIOS 3.1: 16 MiB
        {0x19, 0xFF, 0x0020, 16 * mib},  // half of it is still no field
        {0x1A, 0xFF, 0x7FFF, 16383 * gib},
    };
    for (const Case& c : cases) {
        StructureBuilder bios(0, c.length);
        bios.set(0x09, c.rom).word(0x18, c.extended);
        EXPECT_EQ(bios_rom_size(bios), c.size) << c.length << " " << +c.rom << " " << c.extended;
    }
}

TEST(SmbiosVersion, EntryPointAnchors) {
    const auto version = [](std::string bytes) {
        return smbios_version(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    };
    EXPECT_EQ(version(std::string("_SM3_\x10\x18\x03\x05\x00", 10)), "3.5");
    EXPECT_EQ(version(std::string("_SM3_\x10\x18\x03", 8)), "");
    EXPECT_EQ(version(std::string("_SM_\x10\x1F\x02\x08", 8)), "2.8");
    EXPECT_EQ(version(std::string("_SM_\x10\x1F\x02", 7)), "");
    EXPECT_EQ(version("_DMI_ 1234567890"), "");
    EXPECT_EQ(version(""), "");
}

}  // namespace
}  // namespace nadrel

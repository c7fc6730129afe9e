// The snapshot fields drawn from a whole structure list: sums over arrays, the first array's
// error correction, socket counts, USB ports, the first BIOS structure and ports in order.
#include "core/smbios/snapshot.h"

#include <gtest/gtest.h>

#include "core/smbios/builder.h"

namespace nadrel {
namespace {

using test::StructureBuilder;

constexpr std::uint64_t gib = std::uint64_t{1} << 30;

StructureBuilder array(std::uint32_t capacity_kib, std::uint16_t devices, std::uint8_t ecc) {
    StructureBuilder b(16, 0x0F);
    b.set(0x06, ecc).dword(0x07, capacity_kib).word(0x0D, devices);
    return b;
}

StructureBuilder device(std::uint16_t size_word, const char* locator) {
    StructureBuilder b(17, 0x28);
    b.word(0x0C, size_word).set(0x10, 1).set(0x12, 0x22).strings({locator});
    return b;
}

StructureBuilder processor(std::uint8_t status, const char* socket) {
    StructureBuilder b(4, 0x2A);
    b.set(0x04, 1).set(0x18, status).strings({socket});
    return b;
}

StructureBuilder port(std::uint8_t type, const char* name) {
    StructureBuilder b(8, 9);
    b.set(0x06, 1).set(0x08, type).strings({name});
    return b;
}

TEST(SmbiosSnapshot, MemoryArraysAndModules) {
    const std::vector<DmiStructure> dmi = {
        array(0x02000000, 2, 6),      device(0x4000, "A1"), device(0, "A2"),
        array(0x02000000, 0xFFFF, 3), device(0x2000, "B1"), device(0xFFFF, "B2"),
    };
    SystemSnapshot s;
    collect_smbios_memory(s, dmi);
    EXPECT_EQ(s.memory_slots, 2u);
    EXPECT_EQ(s.memory_max_capacity, 64 * gib);
    ASSERT_EQ(s.memory_modules.size(), 2u);
    EXPECT_EQ(s.memory_modules[0].locator, "A1");
    EXPECT_EQ(s.memory_modules[0].size, 16 * gib);
    EXPECT_EQ(s.memory_modules[0].memory_type, "DDR5");
    EXPECT_EQ(s.memory_modules[1].locator, "B1");
    // Only the first array counts for error correction.
    EXPECT_EQ(smbios_memory_ecc(dmi), "Multi-bit ECC");
    EXPECT_EQ(smbios_memory_ecc({}), "");
}

TEST(SmbiosSnapshot, ArraySumsSaturate) {
    StructureBuilder huge(16, 0x17);
    huge.dword(0x07, 0x80000000).qword(0x0F, ~std::uint64_t{0} - 5).word(0x0D, 0xFFFE);
    const std::vector<DmiStructure> dmi(70000, huge.get());
    SystemSnapshot s;
    collect_smbios_memory(s, dmi);
    EXPECT_EQ(s.memory_max_capacity, ~std::uint64_t{0});
    EXPECT_EQ(s.memory_slots, ~std::uint32_t{0});  // 70000 x 65534 does not fit 32 bits
}

TEST(SmbiosSnapshot, ModulesAreCappedAndTheirLabelsLinear) {
    // A 2 MiB table of made-up modules: the first max_memory_modules are kept.
    std::vector<DmiStructure> dmi(40000, device(0x4000, "DIMM 0"));
    dmi.front() = device(0x4000, "first");
    SystemSnapshot s;
    collect_smbios_memory(s, dmi);
    ASSERT_EQ(s.memory_modules.size(), max_memory_modules);
    EXPECT_EQ(s.memory_modules.front().locator, "first");
}

TEST(SmbiosSnapshot, Sockets) {
    SystemSnapshot s;
    collect_smbios_sockets(
        s, std::vector<DmiStructure>{processor(0x00, "CPU0"), processor(0x41, "CPU1"),
                                     processor(0x41, "CPU2")});
    EXPECT_EQ(s.cpu_sockets, 3u);
    EXPECT_EQ(s.cpu_sockets_populated, 2u);
    EXPECT_EQ(s.cpu_socket, "CPU1");  // the first populated one

    SystemSnapshot empty_sockets;
    collect_smbios_sockets(empty_sockets,
                           std::vector<DmiStructure>{processor(0, "P0"), processor(0, "P1")});
    EXPECT_EQ(empty_sockets.cpu_sockets_populated, 0u);
    EXPECT_EQ(empty_sockets.cpu_socket, "P0");

    // A populated bit beyond a 24-byte area does not count.
    StructureBuilder short_one(4, 0x18);
    short_one.set(0x04, 1).strings({"Socket 0"});
    SystemSnapshot old;
    collect_smbios_sockets(old, std::vector<DmiStructure>{short_one});
    EXPECT_EQ(old.cpu_sockets, 1u);
    EXPECT_EQ(old.cpu_sockets_populated, 0u);
    EXPECT_EQ(old.cpu_socket, "");  // "Socket 0" names the field, not the socket's kind
}

TEST(SmbiosSnapshot, PortsSlotsRomAndUsbCount) {
    StructureBuilder bios(0, 0x1A);
    bios.set(0x09, 0xFF).word(0x18, 0x0020);
    StructureBuilder second_bios(0, 0x18);
    const std::vector<DmiStructure> dmi = {
        bios,
        second_bios,
        port(0x10, "USB1"),
        port(0x1E, "MODEM"),
        port(0xFF, "Not Specified"),
        port(0x0D, "PS2"),
        port(0x10, ""),
        StructureBuilder(8, 8).set(0x08, 0x10),  // too short to count
        StructureBuilder(9, 0x11).set(0x04, 1).set(0x05, 0xB6).set(0x07, 3).strings({"SLOT1"}),
    };
    const auto ports = smbios_ports(dmi);
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].designator, "USB1");
    EXPECT_EQ(ports[1].port_type, "Keyboard");
    EXPECT_EQ(ports[2].port_type, "USB");
    EXPECT_EQ(smbios_usb_ports(dmi), 2u);
    EXPECT_EQ(smbios_rom_size(dmi), 32u << 20);
    EXPECT_EQ(smbios_rom_size({}), 0u);
    const auto slots = smbios_slots(dmi);
    ASSERT_EQ(slots.size(), 1u);
    EXPECT_EQ(slots[0].designation, "SLOT1");
    EXPECT_EQ(slots[0].slot_type, "PCI Express Gen3 x16");
    EXPECT_EQ(slots[0].usage, "Available");
}

}  // namespace
}  // namespace nadrel

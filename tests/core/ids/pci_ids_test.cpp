// The pci.ids walk: line kinds, case, decoys, damaged text, and pciutils' lspci as an oracle.
#include "core/ids/pci_ids.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/text/fmt.h"
#include "core/text/unicode.h"
#include "support/golden.h"
#include "support/run.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

const std::string fixture_db = std::string(NADREL_SOURCE_DIR) + "/tests/data/pci/pci.ids";
const std::string installed_db = "/usr/share/misc/pci.ids";

struct Case {
    std::uint16_t vendor;
    std::uint16_t device;
    const char* name = nullptr;  // nullptr: no match
    // For the lspci oracle: the subsystem and class in the function's configuration header.
    std::uint16_t sub_vendor = 0, sub_device = 0;
    std::uint8_t cls = 0x03, sub = 0;
};

TEST(PciLookup, FixtureDatabaseWithDecoys) {
    const std::string db = test::read_file(fixture_db);
    ASSERT_FALSE(db.empty()) << fixture_db;
    const Case cases[] = {
        {0x1234, 0xABCD, "Example Graphics Adapter"},
        // The two-tab subsystem line "abcd 0001" above it is not taken for device 0001.
        {0x1234, 0x0001, "Example Plain Device"},
        {0x1234, 0xBEEF, "Upper-Case Identifier Device"},
        {0x1234, 0xC0DE,
         "Example Device Sp\xC3\xA9"
         "cial"},
        // 0002 exists only under vendor 5678.
        {0x1234, 0x0002},
        {0x0ABC, 0xABCD, "Decoy Device Of Another Vendor"},
        {0x5678, 0xABCD, "Decoy Device Of Another Vendor Too"},
        {0x9999, 0xABCD},
        {0x1234, 0x1234},
    };
    for (const Case& c : cases) {
        const auto name = pci_lookup(db, c.vendor, c.device);
        if (c.name == nullptr) {
            EXPECT_FALSE(name.has_value())
                << std::hex << c.vendor << ":" << c.device << " " << *name;
        } else {
            EXPECT_EQ(name, c.name) << std::hex << c.vendor << ":" << c.device;
        }
    }
}

TEST(PciLookup, LineRules) {
    struct Text {
        const char* db;
        const char* name;  // looked up as 1234:abcd
    } const texts[] = {
        {"1234  V\r\n\tabcd  Windows Line Ends\r\n", "Windows Line Ends"},
        {"1234  V\n\tabcd  No Final Line Feed", "No Final Line Feed"},
        {"1234  V\n\tABCD  Upper Device\n", "Upper Device"},
        {"1234  V\n\tabcd   Trailing Blanks \t \n", "Trailing Blanks"},
        {"1234  V\n\n   \n# comment\n\tabcd  After Blank And Comment Lines\n",
         "After Blank And Comment Lines"},
        // A line starting with a space is neither vendor nor device and leaves the vendor open.
        {"1234  V\n x\n\tabcd  After Space Line\n", "After Space Line"},
        {"1234  V\n\tabcd  First\n\tabcd  Second\n", "First"},
        // The same vendor listed again later is searched again.
        {"1234  V\n5678  W\n1234  V again\n\tabcd  Second Block\n", "Second Block"},
        {"1234  V\n\tabcd X\n", "X"},
        // Too short to be a vendor line (fewer than six characters): the walk stays outside.
        {"1234 \n\tabcd  Under Short Vendor\n", nullptr},
        {"1234\n\tabcd  Under Short Vendor\n", nullptr},
        {"1234  V\n\tabcd\n\tabcd \n", nullptr},
        // Six bytes but five characters.
        {"1234  V\n\tabcd\xC3\xA9\n", nullptr},
        {"#1234  V\n\tabcd  Under A Comment\n", nullptr},
        {"1234  V\n5678  W\n\tabcd  Left Behind\n", nullptr},
        {"1234  V\n\t\tabcd  Subsystem Only\n", nullptr},
        {"1234  V\n \tabcd  Space Then Tab\n", nullptr},
        {"", nullptr},
        {"\n\n\n", nullptr},
        {"1234", nullptr},
    };
    for (const Text& t : texts) {
        const auto name = pci_lookup(t.db, 0x1234, 0xABCD);
        if (t.name == nullptr) {
            EXPECT_FALSE(name.has_value()) << t.db;
        } else {
            EXPECT_EQ(name, t.name) << t.db;
        }
        // The indexed walk reads only the vendor's blocks, and finds the same.
        const auto indexed = id_lookup(t.db, index_ids(t.db), 0x1234, 0xABCD);
        EXPECT_EQ(indexed ? indexed->device : std::nullopt, name) << t.db;
        EXPECT_EQ(indexed.has_value(), id_lookup(t.db, 0x1234, 0xABCD).has_value()) << t.db;
    }
}

TEST(PciLookup, SubsystemsAndClasses) {
    const std::string db =
        "1234  V\n\tabcd  Device\n\t\t1462 5110  Board Name\n\t\t1462 5111\n"
        "\tbeef  Other\n\t\t1462 5112  Under Another Device\n"
        "C 01  Mass storage controller\n\t06  SATA controller\n\t\t01  AHCI 1.0\n"
        "\t80  Mass storage controller\nC 03  Display controller\n\t00  VGA compatible "
        "controller\nC 0c  Serial bus controller\n";
    const IdIndex index = index_ids(db);
    ASSERT_TRUE(index.complete);
    EXPECT_EQ(subsystem_lookup(db, index, 0x1234, 0xABCD, 0x1462, 0x5110), "Board Name");
    EXPECT_EQ(subsystem_lookup(db, index, 0x1234, 0xABCD, 0x1462, 0x5111), std::nullopt);
    EXPECT_EQ(subsystem_lookup(db, index, 0x1234, 0xABCD, 0x1462, 0x5112), std::nullopt);
    EXPECT_EQ(subsystem_lookup(db, index, 0x1234, 0xBEEF, 0x1462, 0x5112), "Under Another Device");
    const struct {
        std::uint8_t cls, sub;
        const char* name;
        const char* subclass;  // nullptr: not listed
    } classes[] = {{0x01, 0x06, "Mass storage controller", "SATA controller"},
                   {0x01, 0x01, "Mass storage controller", nullptr},
                   {0x03, 0x00, "Display controller", "VGA compatible controller"},
                   {0x0C, 0x03, "Serial bus controller", nullptr}};
    for (const auto& c : classes) {
        const auto names = class_lookup(db, index, c.cls, c.sub);
        ASSERT_TRUE(names);
        EXPECT_EQ(names->name, c.name);
        EXPECT_EQ(names->subclass,
                  c.subclass ? std::optional<std::string>(c.subclass) : std::nullopt);
    }
    EXPECT_EQ(class_lookup(db, index, 0x12, 0x00), std::nullopt);
    // Past the most blocks a real database has, names come from the whole walk alone.
    std::string huge;
    for (std::size_t i = 0; i <= max_indexed_blocks; ++i)
        huge += "0001  Filler\n";
    huge += "1234  V\n\tabcd  Found\nC 01  Mass storage controller\n";
    const IdIndex partial = index_ids(huge);
    EXPECT_FALSE(partial.complete);
    EXPECT_EQ(id_lookup(huge, partial, 0x1234, 0xABCD)->device, "Found");
    EXPECT_EQ(class_lookup(huge, partial, 0x01, 0x06), std::nullopt);
}

TEST(PciLookup, BinaryAndHugeTextsGiveValidUtf8OrNothing) {
    std::string junk = "1234  V\n\tabcd  Bad \xFF\xFE Bytes\x00 and NUL\n";
    junk.append(4096, '\0');
    const auto name = pci_lookup(junk, 0x1234, 0xABCD);
    ASSERT_TRUE(name.has_value());
    EXPECT_TRUE(is_valid_utf8(*name));
    EXPECT_TRUE(name->starts_with("Bad \xEF\xBF\xBD\xEF\xBF\xBD Bytes"));
    // One enormous line with no line feed, then one with nothing but line feeds.
    EXPECT_FALSE(pci_lookup(std::string(8 << 20, 'x'), 0x1234, 0xABCD).has_value());
    EXPECT_FALSE(pci_lookup(std::string(8 << 20, '\n'), 0x1234, 0xABCD).has_value());
}

// pciutils' lspci as the oracle: it decodes a config-space dump (-F, the format of lspci -x)
// and names each device from the database given with -i. The dump holds one function per
// identifier pair; the quoted fields of each -mm line are "Class" "Vendor" "Device" [-r -p]
// "SVendor" "SDevice".
std::vector<std::vector<std::string>> lspci_fields(const std::string& db,
                                                   const std::vector<Case>& cases) {
    test::TempDir dir;
    std::string dump;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        dump += strfmt(
            "%02zx:00.0 x\n00: %02x %02x %02x %02x 00 00 00 00 00 00 %02x %02x 00 00 00 00\n", i,
            c.vendor & 0xFF, c.vendor >> 8, c.device & 0xFF, c.device >> 8, c.sub, c.cls);
        dump += "10: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n";
        dump +=
            strfmt("20: 00 00 00 00 00 00 00 00 00 00 00 00 %02x %02x %02x %02x\n",
                   c.sub_vendor & 0xFF, c.sub_vendor >> 8, c.sub_device & 0xFF, c.sub_device >> 8);
        dump += "30: 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00\n";
        dump += "\n";
    }
    dir.write("dump", dump);
    const std::string command = "lspci -F '" + dir.path() + "/dump' -i '" + db + "' -mm 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::vector<std::vector<std::string>> names;
    if (!pipe)
        return names;
    char buf[1024];
    while (std::fgets(buf, sizeof buf, pipe.get()) != nullptr) {
        // 00:00.0 "Class" "Vendor" "Device" ...
        std::vector<std::string> quoted;
        std::string_view line(buf);
        for (std::size_t open = line.find('"'); open != std::string_view::npos;) {
            const std::size_t close = line.find('"', open + 1);
            if (close == std::string_view::npos)
                break;
            quoted.emplace_back(line.substr(open + 1, close - open - 1));
            open = line.find('"', close + 1);
        }
        names.push_back(quoted.size() >= 3 ? quoted : std::vector<std::string>{"?", "?", buf});
    }
    return names;
}

// Compares every pair with lspci; returns how many lspci named.
int expect_matches_lspci(const std::string& db_path, const std::vector<Case>& cases) {
    if (test::run_shell("command -v lspci >/dev/null") != 0) {
        ADD_FAILURE() << "lspci (pciutils) is not installed; tools/install-deps installs it";
        return 0;
    }
    const std::string db = test::read_file(db_path);
    const auto names = lspci_fields(db_path, cases);
    EXPECT_FALSE(db.empty()) << db_path;
    EXPECT_EQ(names.size(), cases.size());
    if (names.size() != cases.size())
        return 0;
    int named = 0;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        const auto ours = pci_lookup(db, c.vendor, c.device);
        const std::string fallback = strfmt("Device %04x", c.device);
        if (names[i][2] == fallback) {
            EXPECT_FALSE(ours.has_value()) << fallback << " got " << *ours;
        } else {
            ++named;
            EXPECT_EQ(ours, names[i][2]) << std::hex << c.vendor << ":" << c.device;
        }
    }
    return named;
}

TEST(IdLookup, UsbIdsLayout) {
    // usb.ids: vendors and devices as in pci.ids, two-tab interface lines, and after the vendors
    // class, HID and language sections whose lines must never read as vendors or devices.
    const std::string db =
        "# usb.ids\n8087  Intel Corp.\n\t0026  AX201 Bluetooth\n\t\t0032  interface\n"
        "\t0032  AX210 Bluetooth\n046d  Logitech, Inc.\nC 03  Human Interface Device\n"
        "\t0032  Not a device\nHUT 8087  Decoy\n\t0001  Decoy\n";
    const auto both = id_lookup(db, 0x8087, 0x0032);
    ASSERT_TRUE(both);
    EXPECT_EQ(both->vendor, "Intel Corp.");
    EXPECT_EQ(both->device, "AX210 Bluetooth");
    const auto vendor_only = id_lookup(db, 0x046D, 0x0032);
    ASSERT_TRUE(vendor_only);
    EXPECT_EQ(vendor_only->vendor, "Logitech, Inc.");
    EXPECT_EQ(vendor_only->device, std::nullopt);
    EXPECT_EQ(id_lookup(db, 0x0C03, 0x0032), std::nullopt);
    EXPECT_EQ(pci_lookup(db, 0x8087, 0x0026), "AX201 Bluetooth");

    // The installed database names what lsusb names (its hwdb is built from usb.ids).
    const std::string installed = test::read_file("/usr/share/misc/usb.ids");
    if (installed.empty())
        GTEST_SKIP() << "usb.ids is not installed (tools/install-deps installs it)";
    const auto ax210 = id_lookup(installed, 0x8087, 0x0032);
    ASSERT_TRUE(ax210);
    EXPECT_EQ(ax210->vendor + " " + ax210->device.value_or(""), "Intel Corp. AX210 Bluetooth");
    const auto hub = id_lookup(installed, 0x1D6B, 0x0003);
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->vendor + " " + hub->device.value_or(""), "Linux Foundation 3.0 root hub");
}

// lspci writes "Device xxxx" for a subsystem and "... [ccss]" for a subclass it did not find.
TEST(PciLookupOracle, ClassesAndSubsystemsAgreeWithLspci) {
    if (!std::ifstream(installed_db))
        GTEST_SKIP() << installed_db << " is not installed";
    if (test::run_shell("command -v lspci >/dev/null") != 0)
        GTEST_SKIP() << "lspci (pciutils) is not installed";
    const std::vector<Case> functions = {
        {0x8086, 0x1521, nullptr, 0x8086, 0x0001, 0x02, 0x00},  // I350-T4
        {0x8086, 0x1521, nullptr, 0x1028, 0x0602, 0x02, 0x00},  // Dell's 2P I350-t LOM
        {0x8086, 0xA352, nullptr, 0x1462, 0x7C02, 0x01, 0x06},  // SATA, subsystem not listed
        {0x10DE, 0x2484, nullptr, 0x1462, 0x3909, 0x03, 0x00},
        {0x1AF4, 0x1041, nullptr, 0x1AF4, 0x1100, 0x02, 0x00},  // virtio: QEMU's subsystem
        {0x1B36, 0x000D, nullptr, 0x1AF4, 0x1100, 0x0C, 0x03},  // USB xHCI
        {0x8086, 0x2922, nullptr, 0x1AF4, 0x1100, 0x01, 0xFF},  // a subclass pci.ids lacks
        {0x8086, 0x1901, nullptr, 0x0000, 0x0000, 0x06, 0x04},
    };
    const auto lines = lspci_fields(installed_db, functions);
    ASSERT_EQ(lines.size(), functions.size());
    const std::string db = test::read_file(installed_db);
    const IdIndex index = index_ids(db);
    for (std::size_t i = 0; i < functions.size(); ++i) {
        const Case& f = functions[i];
        const std::vector<std::string>& quoted = lines[i];
        const std::string line = testing::PrintToString(quoted);
        ASSERT_GE(quoted.size(), 3u) << line;
        const auto names = class_lookup(db, index, f.cls, f.sub);
        ASSERT_TRUE(names) << line;
        const std::string ours = names->subclass.value_or(names->name);
        EXPECT_TRUE(quoted[0] == ours || quoted[0] == strfmt("%s [%02x%02x]", ours.c_str(),
                                                             unsigned{f.cls}, unsigned{f.sub}))
            << quoted[0] << " / " << ours;
        const auto sub =
            subsystem_lookup(db, index, f.vendor, f.device, f.sub_vendor, f.sub_device);
        if (quoted.size() < 5 || quoted[4].empty() || quoted[4].starts_with("Device ")) {
            EXPECT_EQ(sub, std::nullopt) << line;
        } else {
            EXPECT_EQ(sub, quoted[4]) << line;
        }
    }
}

TEST(PciLookupOracle, FixtureDatabaseAgreesWithLspci) {
    const int named = expect_matches_lspci(fixture_db, {{0x1234, 0xABCD},
                                                        {0x1234, 0x0001},
                                                        {0x1234, 0xBEEF},
                                                        {0x1234, 0xC0DE},
                                                        {0x1234, 0x0002},
                                                        {0x0ABC, 0xABCD},
                                                        {0x5678, 0xABCD},
                                                        {0x9999, 0xABCD}});
    EXPECT_EQ(named, 6);
}

TEST(PciLookupOracle, InstalledDatabaseAgreesWithLspci) {
    if (!std::ifstream(installed_db))
        GTEST_SKIP() << installed_db << " is not installed";
    const int named = expect_matches_lspci(installed_db, {{0x8086, 0x4690},  // Alder Lake-S GT1
                                                          {0x10DE, 0x2786},  // AD104
                                                          {0x1002, 0x164E},  // Raphael
                                                          {0x8086, 0x2723},  // Wi-Fi 6 AX200
                                                          {0x10EC, 0x8168},  // RTL8111
                                                          {0x144D, 0xA808},  // Samsung NVMe
                                                          {0x1AF4, 0x1050},  // virtio GPU
                                                          {0x1AF4, 0x1041},  // virtio network
                                                          {0x1AF4, 0x1042},  // virtio block
                                                          {0x15AD, 0x0405},  // VMware SVGA II
                                                          {0x1234, 0x1111},  // QEMU VGA: not listed
                                                          {0x8086, 0x1533},  // I210
                                                          {0x8086, 0xFFFE},  // not listed
                                                          {0xFFFE, 0x0001}});
    // The database grows; the well-known names above stay.
    EXPECT_GE(named, 11);
}

}  // namespace
}  // namespace nadrel

// USB devices from a fixture /sys/bus/usb/devices shaped like the kernel's.
#include "linux/collect/usb.h"

#include <gtest/gtest.h>

#include "support/sysfs_tree.h"

namespace nadrel {
namespace {

using test::kernel_link;
using test::TempDir;

TEST(ParseUsbKey, BusAndPorts) {
    using Key = std::vector<std::uint32_t>;
    EXPECT_EQ(parse_usb_key("1-2"), (Key{1, 2}));
    EXPECT_EQ(parse_usb_key("3-10.4.1"), (Key{3, 10, 4, 1}));
    EXPECT_EQ(parse_usb_key("+1-+2"), (Key{1, 2}));
    for (const char* bad :
         {"1-2.x", "usb1", "1-", "-1", "1-2.", "1--2", "1-2 ", "a-1", "1-4294967296", ""}) {
        EXPECT_FALSE(parse_usb_key(bad).has_value()) << bad;
    }
}

TEST(ParseUsbSpeed, WholeMegabitsOnly) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"12", 12},     {"480\n", 480},
        {"5000", 5000}, {"1.5", 0},
        {"12.0", 12},   {"-1", 0},
        {"1e9", 0},     {"", 0},
        {"0", 0},       {".5", 0},
        {"12.", 0},     {"abc", 0},
        {"+480", 480},  {"99999999999", 4294967295u},
    };
    for (const auto& [text, want] : cases)
        EXPECT_EQ(parse_usb_speed(text), want) << text;
}

void usb_device(const TempDir& dir, const std::string& path, const char* manufacturer,
                const char* product, const char* vendor, const char* id, const char* speed) {
    const std::string name = path.substr(path.rfind('/') + 1);
    kernel_link(dir, "sys/bus/usb/devices/" + name, path);
    if (manufacturer != nullptr)
        dir.write(path + "/manufacturer", manufacturer);
    if (product != nullptr)
        dir.write(path + "/product", product);
    if (vendor != nullptr)
        dir.write(path + "/idVendor", vendor);
    if (id != nullptr)
        dir.write(path + "/idProduct", id);
    if (speed != nullptr)
        dir.write(path + "/speed", speed);
}

TEST(CollectUsbDevices, OrderNamesIdsSpeedsAndDepth) {
    TempDir dir;
    const std::string root1 = "sys/devices/pci0000:00/0000:00:14.0/usb1";
    const std::string root2 = "sys/devices/pci0000:00/0000:00:14.0/usb2";
    // Root hubs and interfaces are never listed.
    usb_device(dir, root1, "Linux 6.1.0 xhci-hcd", "xHCI Host Controller", "1d6b", "0002", "480");
    usb_device(dir, root2, "Linux 6.1.0 xhci-hcd", "xHCI Host Controller", "1d6b", "0003", "10000");
    usb_device(dir, root1 + "/1-0:1.0", nullptr, nullptr, nullptr, nullptr, nullptr);
    usb_device(dir, root1 + "/1-2/1-2:1.0", nullptr, nullptr, nullptr, nullptr, nullptr);

    usb_device(dir, root1 + "/1-10", "Example Corp", "USB Receiver", "046d", "c52b", "12");
    usb_device(dir, root1 + "/1-2", "GenesysLogic", "USB2.1 Hub", "05e3", "0610", "480");
    usb_device(dir, root1 + "/1-2/1-2.4", "Example", "Example Flash Drive", "0781", "5583", "480");
    usb_device(dir, root1 + "/1-2/1-2.1", nullptr, " Keyboard \n", "+04d9", "1203", "1.5");
    usb_device(dir, root1 + "/1-2/1-2.x", "Bad", "Bad", "0001", "0001", "12");
    usb_device(dir, root2 + "/2-1", "SanDisk", nullptr, "12345", "zz", "5000");
    usb_device(dir, root1 + "/1-3", nullptr, nullptr, nullptr, nullptr, "-1");
    usb_device(dir, root1 + "/1-4", "SAMSUNG", "Samsung Galaxy", "04e8", "6860", "1e9");
    // Without strings: named from usb.ids, vendor and product or the vendor alone.
    usb_device(dir, root1 + "/1-14", nullptr, nullptr, "8087", "0032", "12");
    usb_device(dir, root1 + "/1-15", nullptr, nullptr, "8087", "0aaa", "12");
    usb_device(dir, root1 + "/1-16", nullptr, nullptr, "1234", "0032", "12");
    dir.write("usr/share/hwdata/usb.ids", "8087  Intel Corp.\n\t0032  AX210 Bluetooth\n");
    dir.write("usr/share/misc/usb.ids", "8087  Not the first place looked\n");

    const auto devices = collect_usb_devices(SysRoot(dir.path()));
    struct Want {
        std::string name;
        std::uint16_t vendor, product;
        std::uint32_t speed;
        std::uint8_t depth;
    };
    const std::vector<Want> want = {
        {"GenesysLogic USB2.1 Hub", 0x05E3, 0x0610, 480, 1},
        {"Keyboard", 0x04D9, 0x1203, 0, 2},
        {"Example Flash Drive", 0x0781, 0x5583, 480, 2},
        {"", 0, 0, 0, 1},
        {"Samsung Galaxy", 0x04E8, 0x6860, 0, 1},
        {"Example Corp USB Receiver", 0x046D, 0xC52B, 12, 1},
        {"Intel Corp. AX210 Bluetooth", 0x8087, 0x0032, 12, 1},
        {"Intel Corp.", 0x8087, 0x0AAA, 12, 1},
        {"", 0x1234, 0x0032, 12, 1},
        {"SanDisk", 0, 0, 5000, 1},
    };
    ASSERT_EQ(devices.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(devices[i].name, want[i].name) << i;
        EXPECT_EQ(devices[i].vendor_id, want[i].vendor) << i;
        EXPECT_EQ(devices[i].product_id, want[i].product) << i;
        EXPECT_EQ(devices[i].speed_mbps, want[i].speed) << i;
        EXPECT_EQ(devices[i].depth, want[i].depth) << i;
    }
    EXPECT_TRUE(collect_usb_devices(SysRoot(dir.path() + "/missing")).empty());
}

TEST(CollectUsbDevices, AMadeUpMultitudeIsCutInBusOrder) {
    TempDir dir;
    for (int i = 4097; i >= 1; --i)
        dir.mkdir("sys/bus/usb/devices/1-1." + std::to_string(i));
    dir.write("sys/bus/usb/devices/1-1.4096/product", "Last kept\n");
    dir.write("sys/bus/usb/devices/1-1.4097/product", "First cut\n");
    const auto devices = collect_usb_devices(SysRoot(dir.path()));
    ASSERT_EQ(devices.size(), 4096u);
    EXPECT_EQ(devices.back().name, "Last kept");
}

}  // namespace
}  // namespace nadrel

// Network and Bluetooth adapters from fixture /sys/class trees shaped like the kernel's.
#include "linux/collect/net.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/report/device_text.h"
#include "support/sysfs_tree.h"

namespace nadrel {
namespace {

using test::kernel_link;
using test::TempDir;

// A small PCI ID database with the adapters these fixtures use.
constexpr const char* pci_ids =
    "# test database\n"
    "8086  Intel Corporation\n"
    "\t15f3  Ethernet Controller I225-V\n"
    "\t\t8086 0001  Ethernet Controller I225-V (subsystem)\n"
    "\t2725  Wi-Fi 6E(802.11ax) AX210/AX1675* 2x2 [Typhoon Peak]\n"
    "10ec  Realtek Semiconductor Co., Ltd.\n"
    "\tb852  RTL8852BE PCIe 802.11ax Wireless Network Controller\n"
    "\tc822  RTL8822CE Bluetooth(R)\n";

// An interface at dev ("sys/devices/.../net/NAME") linked from /sys/class/net.
std::string interface(const TempDir& dir, const std::string& dev, const std::string& device) {
    const std::string name = dev.substr(dev.rfind('/') + 1);
    kernel_link(dir, "sys/class/net/" + name, dev);
    if (!device.empty())
        kernel_link(dir, dev + "/device", device);
    return dev;
}

void pci_function(const TempDir& dir, const std::string& path, const char* vendor,
                  const char* device) {
    dir.write(path + "/vendor", std::string(vendor) + "\n");
    dir.write(path + "/device", std::string(device) + "\n");
}

TEST(CollectNetAdapters, KindsLinksSpeedsAndPorts) {
    TempDir dir;
    dir.write("usr/share/hwdata/pci.ids", pci_ids);
    const std::string bus = "sys/devices/pci0000:00/0000:00:1c.0";
    // Two ports of one card: each its own entry.
    for (const char* port : {"0", "1"}) {
        const std::string fn = bus + "/0000:04:00." + port;
        pci_function(dir, fn, "0x8086", "0x15f3");
        const std::string dev = interface(dir, fn + "/net/enp4s0f" + port, fn);
        dir.write(dev + "/type", "1\n");
        dir.write(dev + "/carrier", port[0] == '0' ? "1\n" : "0\n");
        dir.write(dev + "/speed", "2500\n");
    }
    // Wi-Fi by phy80211, up, with a speed file that must be ignored.
    const std::string wifi = bus + "/0000:05:00.0";
    pci_function(dir, wifi, "0x8086", "0x2725");
    std::string dev = interface(dir, wifi + "/net/wlp5s0", wifi);
    kernel_link(dir, dev + "/phy80211", wifi + "/ieee80211/phy0");
    dir.write(dev + "/type", "1\n");
    dir.write(dev + "/carrier", "1\n");
    dir.write(dev + "/speed", "866\n");
    // Wi-Fi by the older "wireless" folder, ids not in the database: the interface name.
    const std::string wifi2 = bus + "/0000:06:00.0";
    pci_function(dir, wifi2, "0x14e4", "0x43a0");
    dev = interface(dir, wifi2 + "/net/wlan1", wifi2);
    dir.mkdir(dev + "/wireless");
    // A USB Ethernet dongle: its device is a USB interface without PCI ids. Speed -1 when up.
    const std::string usb = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-3/2-3:1.0";
    dev = interface(dir, usb + "/net/enx00e04c680001", usb);
    dir.write(dev + "/type", "+1\n");
    dir.write(dev + "/carrier", " 1 \n");
    dir.write(dev + "/speed", "-1\n");
    // Another up link with a speed that is not an integer, and one with an odd link type.
    const std::string usb2 = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-4/2-4:1.0";
    dev = interface(dir, usb2 + "/net/usb0", usb2);
    dir.write(dev + "/type", "1\n");
    dir.write(dev + "/carrier", "1\n");
    dir.write(dev + "/speed", "1e9\n");
    const std::string modem = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-5/2-5:1.0";
    dev = interface(dir, modem + "/net/wwan0", modem);
    dir.write(dev + "/type", "519\n");
    dir.write(dev + "/carrier", "10\n");
    // lo, a bridge and a tunnel have no device; lo is skipped even with one.
    interface(dir, "sys/devices/virtual/net/lo", modem);
    interface(dir, "sys/devices/virtual/net/br0", "");
    interface(dir, "sys/devices/virtual/net/tun0", "");
    // A dangling device link keeps the interface, named by itself.
    dev = interface(dir, "sys/devices/virtual/net/ghost0", "");
    dir.symlink(dev + "/device", "../../../nowhere");

    const auto adapters = collect_net_adapters(SysRoot(dir.path()));
    struct Want {
        std::string name, kind;
        bool up;
        std::uint32_t speed;
    };
    const std::vector<Want> want = {
        {"Ethernet Controller I225-V", "Ethernet", true, 2500},
        {"Ethernet Controller I225-V", "Ethernet", false, 0},
        {"enx00e04c680001", "Ethernet", true, 0},
        {"ghost0", "", false, 0},
        {"usb0", "Ethernet", true, 0},
        {"wlan1", "Wi-Fi", false, 0},
        {"Wi-Fi 6E(802.11ax) AX210/AX1675* 2x2 [Typhoon Peak]", "Wi-Fi", true, 0},
        {"wwan0", "", false, 0},
    };
    ASSERT_EQ(adapters.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(adapter_name(adapters[i]), want[i].name) << i;
        EXPECT_EQ(adapters[i].kind, want[i].kind) << i;
        EXPECT_EQ(adapters[i].link_up, want[i].up) << i;
        EXPECT_EQ(adapters[i].speed_mbps, want[i].speed) << i;
    }
}

// Past the most interfaces with a device that a machine has, the tree is not walked further.
TEST(CollectNetAdapters, StopsAfterTheMostDevicesAMachineHas) {
    TempDir dir;
    dir.mkdir("sys/devices/pci0000:00/0000:00:1f.6");  // no ids: named by their interfaces
    for (int i = 0; i < 1030; ++i) {
        const std::string number = std::to_string(10000 + i).substr(1);
        dir.symlink("sys/class/net/eth" + number + "/device",
                    "../../../devices/pci0000:00/0000:00:1f.6");
    }
    const auto adapters = collect_net_adapters(SysRoot(dir.path()));
    ASSERT_EQ(adapters.size(), 1024u);
    EXPECT_EQ(adapters.back().interface, "eth1023");
}

TEST(CollectBluetooth, NamingOrderAndDuplicates) {
    TempDir dir;
    dir.write("usr/share/hwdata/pci.ids", pci_ids);
    const std::string xhci = "sys/devices/pci0000:00/0000:00:14.0/usb1";
    // hci0: a USB radio; the product is on the USB device above the interface.
    dir.write(xhci + "/1-10/product", "AX210 Bluetooth\n");
    kernel_link(dir, xhci + "/1-10/1-10:1.0/bluetooth/hci0/device", xhci + "/1-10/1-10:1.0");
    // hci1: the same radio model again.
    dir.write(xhci + "/1-11/product", " AX210 Bluetooth \n");
    kernel_link(dir, xhci + "/1-11/1-11:1.0/bluetooth/hci1/device", xhci + "/1-11/1-11:1.0");
    // hci2: a device with a product of its own (the parent has none).
    const std::string serial = "sys/devices/platform/serial8250/serial0/serial0-0";
    dir.write(serial + "/product", "UART Bluetooth(TM) Module\n");
    kernel_link(dir, serial + "/bluetooth/hci2/device", serial);
    // hci3: a PCI function named by the database.
    const std::string pci = "sys/devices/pci0000:00/0000:00:1c.2/0000:07:00.0";
    pci_function(dir, pci, "0x10ec", "0xc822");
    kernel_link(dir, pci + "/bluetooth/hci3/device", pci);
    // hci4: nothing to go by.
    dir.mkdir("sys/devices/virtual/misc/vhci");
    kernel_link(dir, "sys/devices/virtual/bluetooth/hci4/device", "sys/devices/virtual/misc/vhci");
    for (const char* hci : {"hci0", "hci1"}) {
        kernel_link(
            dir, std::string("sys/class/bluetooth/") + hci,
            xhci + (hci[3] == '0' ? "/1-10/1-10:1.0" : "/1-11/1-11:1.0") + "/bluetooth/" + hci);
    }
    kernel_link(dir, "sys/class/bluetooth/hci2", serial + "/bluetooth/hci2");
    kernel_link(dir, "sys/class/bluetooth/hci3", pci + "/bluetooth/hci3");
    kernel_link(dir, "sys/class/bluetooth/hci4", "sys/devices/virtual/bluetooth/hci4");
    kernel_link(dir, "sys/class/bluetooth/rfcomm0", "sys/devices/virtual/tty/rfcomm0");

    auto names = collect_bluetooth(SysRoot(dir.path()));
    std::sort(names.begin(), names.end());  // directory order is the file system's own
    EXPECT_EQ(names, (std::vector<std::string>{"AX210 Bluetooth", "Bluetooth adapter",
                                               "RTL8822CE Bluetooth", "UART Bluetooth Module"}));
    EXPECT_TRUE(collect_bluetooth(SysRoot(dir.path() + "/missing")).empty());
}

}  // namespace
}  // namespace nadrel

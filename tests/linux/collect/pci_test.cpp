// The PCI inventory and USB interfaces from trees shaped like sysfs, broken in the ways a
// captured tree can be: every bad input gives an absent value, never a wrong one.
#include "linux/collect/pci.h"

#include <gtest/gtest.h>

#include "linux/collect/usb.h"
#include "support/sysfs_tree.h"

namespace nadrel {
namespace {

using test::kernel_link;

// A function below sys/devices/pci0000:00 ("0000:00:01.0/0000:01:00.0"), linked from the bus.
std::string function(const test::TempDir& dir, const std::string& path,
                     const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string dev = "sys/devices/pci0000:00/" + path;
    dir.mkdir(dev);
    for (const auto& [name, text] : files)
        dir.write(dev + "/" + name, text + "\n");
    kernel_link(dir, "sys/bus/pci/devices/" + path.substr(path.rfind('/') + 1), dev);
    return dev;
}

TEST(PciInventory, BadInputsGiveAbsentValues) {
    test::TempDir dir;
    dir.write("usr/share/misc/pci.ids", "8086  Intel Corporation\n\t1901  Root Port\n");
    const std::string port = function(dir, "0000:00:01.0",
                                      {{"class", "0x060400"},
                                       {"vendor", "0x8086"},
                                       {"device", "0x1901"},
                                       {"max_link_speed", "255 GT/s"},
                                       {"max_link_width", "16"}});
    dir.mkdir("sys/bus/pci/drivers/pcieport");
    kernel_link(dir, port + "/driver", "sys/bus/pci/drivers/pcieport");
    // No class file, a driver link out of the tree, a speed the kernel could not read.
    const std::string card = function(dir, "0000:00:01.0/0000:01:00.0",
                                      {{"vendor", "0x10de"},
                                       {"device", "0x2484"},
                                       {"revision", "0x1a1"},
                                       {"numa_node", "-1"},
                                       {"current_link_speed", "Unknown"},
                                       {"current_link_width", "255"},
                                       {"max_link_speed", "16.0 GT/s PCIe"},
                                       {"max_link_width", "16"},
                                       {"power_state", "D3cold"}});
    dir.symlink(card + "/driver", "../../../../../../../../../../../../outside/drivers/evil");
    // A link that loops back to the port above it, and one to itself: no function at all.
    dir.symlink("sys/devices/pci0000:00/0000:00:01.0/0000:01:00.1", "../0000:00:01.0");
    kernel_link(dir, "sys/bus/pci/devices/0000:01:00.1",
                "sys/devices/pci0000:00/0000:00:01.0/0000:01:00.1");
    dir.symlink("sys/bus/pci/devices/0000:01:00.2", "0000:01:00.2");
    dir.mkdir("sys/bus/pci/devices/not-an-address");

    const auto devices = collect_pci_devices(SysRoot(dir.path()));
    ASSERT_EQ(devices.size(), 2u);
    const PciDevice& p = devices[0];
    EXPECT_EQ(p.address, "0000:00:01.0");
    EXPECT_EQ(p.driver, "pcieport");
    EXPECT_EQ(p.class_name, "");  // the class section is missing from the database
    EXPECT_EQ(p.device_name, "Root Port");
    ASSERT_TRUE(p.link);
    EXPECT_EQ(p.link->max_mts, 0u);  // 255 GT/s is no PCI Express rate
    EXPECT_FALSE(p.link_judged);     // on the root bus: a root port
    const PciDevice& c = devices[1];
    EXPECT_EQ(c.class_code, std::nullopt);
    EXPECT_EQ(c.driver, "");
    EXPECT_EQ(c.revision, 0xA1);  // the low 8 bits, as for a GPU's revision
    EXPECT_EQ(c.numa_node, std::nullopt);
    EXPECT_EQ(c.iommu_group, std::nullopt);
    EXPECT_EQ(c.low_power, true);
    ASSERT_TRUE(c.link);
    EXPECT_EQ(c.link->current_mts, 0u);
    EXPECT_EQ(c.link->current_width, 0u);  // x255 is no width
    EXPECT_EQ(c.link->port_max_width, 16u);
    EXPECT_TRUE(c.link_judged);
    EXPECT_EQ(find_pci_device(devices, "0000:01:00.0"), &devices[1]);
    EXPECT_EQ(find_pci_device(devices, "0000:01:00.1"), nullptr);
}

TEST(UsbInterfaces, ClassDriverAndTheirAbsence) {
    test::TempDir dir;
    const std::string dev = "sys/devices/pci0000:00/0000:00:14.0/usb1/1-2";
    dir.write(dev + "/version", " 3.20\n");
    dir.write(dev + "/speed", "480\n");
    dir.write(dev + "/1-2:1.0/bInterfaceNumber", "00\n");
    dir.write(dev + "/1-2:1.0/bInterfaceClass", "08\n");
    dir.write(dev + "/1-2:1.10/bInterfaceNumber", "0a\n");
    dir.write(dev + "/1-2:1.2/bInterfaceNumber", "02\n");  // no class
    dir.mkdir("sys/bus/usb/drivers/uas");
    kernel_link(dir, dev + "/1-2:1.0/driver", "sys/bus/usb/drivers/uas");
    kernel_link(dir, "sys/bus/usb/devices/1-2", dev);
    for (const char* i : {"1-2:1.0", "1-2:1.10", "1-2:1.2"})
        kernel_link(dir, std::string("sys/bus/usb/devices/") + i, dev + "/" + i);
    dir.write("usr/share/misc/usb.ids", "C 08  Mass Storage\n\t06  SCSI\n");
    const auto devices = collect_usb_devices(SysRoot(dir.path()));
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].version, "3.20");
    EXPECT_EQ(devices[0].port_path, "1-2");
    ASSERT_EQ(devices[0].interfaces.size(), 3u);  // in number order: 0, 2, 10
    EXPECT_EQ(devices[0].interfaces[0].class_name, "Mass Storage");
    EXPECT_EQ(devices[0].interfaces[0].driver, "uas");
    EXPECT_EQ(devices[0].interfaces[1].number, 2);
    EXPECT_EQ(devices[0].interfaces[1].class_id, std::nullopt);
    EXPECT_EQ(devices[0].interfaces[1].class_name, "");
    EXPECT_EQ(devices[0].interfaces[2].number, 10);
}

}  // namespace
}  // namespace nadrel

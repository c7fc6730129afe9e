// Disks and optical drives from a fixture /sys/block shaped like the kernel's.
#include "linux/collect/storage.h"

#include <gtest/gtest.h>

#include "core/report/device_text.h"
#include "support/sysfs_tree.h"

namespace nadrel {
namespace {

using test::kernel_link;
using test::TempDir;

constexpr const char* ahci = "sys/devices/pci0000:00/0000:00:17.0";
constexpr const char* xhci = "sys/devices/pci0000:00/0000:00:14.0";

// A block device folder at dev ("sys/devices/.../block/NAME") with its /sys/block link and
// the queue attributes; scsi is the SCSI device folder its "device" link points to.
void block(const TempDir& dir, const std::string& dev, const std::string& scsi,
           const std::string& sectors, const std::string& rotational) {
    const std::string name = dev.substr(dev.rfind('/') + 1);
    kernel_link(dir, "sys/block/" + name, dev);
    if (!scsi.empty())
        kernel_link(dir, dev + "/device", scsi);
    if (!sectors.empty())
        dir.write(dev + "/size", sectors + "\n");
    if (!rotational.empty())
        dir.write(dev + "/queue/rotational", rotational + "\n");
    dir.write(dev + "/queue/logical_block_size", "512\n");
    dir.write(dev + "/queue/physical_block_size", "4096\n");
}

void sata_disk(const TempDir& dir, int port, const std::string& name, const std::string& model,
               const std::string& spd) {
    const std::string ata = std::string(ahci) + "/ata" + std::to_string(port);
    const std::string host = std::to_string(port - 1);
    const std::string scsi = ata + "/host" + host + "/target" + host + ":0:0/" + host + ":0:0:0";
    block(dir, scsi + "/block/" + name, scsi, "7814037168", "1");
    dir.write(scsi + "/model", model + "\n");
    dir.write(scsi + "/rev", "80.00A80\n");
    const std::string link = "link" + std::to_string(port);
    dir.write(ata + "/" + link + "/ata_link/" + link + "/sata_spd", spd);
    dir.mkdir(ata + "/power");
}

std::vector<std::string> names(const std::vector<DiskInfo>& disks) {
    std::vector<std::string> out;
    for (const auto& d : disks)
        out.push_back(d.name);
    return out;
}

const DiskInfo* find(const std::vector<DiskInfo>& disks, std::string_view name) {
    for (const auto& d : disks) {
        if (d.name == name)
            return &d;
    }
    return nullptr;
}

TEST(CollectDisks, SataNvmeUsbAndScsi) {
    TempDir dir;
    sata_disk(dir, 3, "sda", "  WDC WD40EZRZ-00GXCB0(R) ", "6.0 Gbps\n");
    sata_disk(dir, 4, "sdc", "ST1000DM010", "Unknown\n");
    sata_disk(dir, 5, "sdd", "Garbage SSD", "fast and furious\n");
    // sdd's VPD page: rotation rate 1 (non-rotating) on a disk that says it is not rotational.
    const std::string sdd_scsi = std::string(ahci) + "/ata5/host4/target4:0:0/4:0:0:0";
    dir.write(sdd_scsi + "/vpd_pgb1", std::string("\x00\xb1\x00\x3c\x00\x01\x00", 7));
    dir.write(sdd_scsi + "/block/sdd/queue/rotational", "0\n");
    // sda spins at 5400 RPM.
    dir.write(std::string(ahci) + "/ata3/host2/target2:0:0/2:0:0:0/vpd_pgb1",
              std::string("\x00\xb1\x00\x3c\x15\x18", 6));

    // NVMe: block device under the controller, whose "device" is the PCI function.
    const std::string pci = "sys/devices/pci0000:00/0000:00:1d.0/0000:03:00.0";
    block(dir, pci + "/nvme/nvme0/nvme0n1", pci + "/nvme/nvme0", "1953525168", "0");
    kernel_link(dir, pci + "/nvme/nvme0/device", pci);
    dir.write(pci + "/nvme/nvme0/model", "Samsung SSD 980 PRO 1TB          \n");
    dir.write(pci + "/nvme/nvme0/firmware_rev", "5B2QGXA7\n");
    dir.write(pci + "/max_link_speed", "8.0 GT/s PCIe\n");
    dir.write(pci + "/max_link_width", "4\n");

    // A USB stick: its SCSI host hangs under a USB interface, so "/host" is there but no ATA port.
    const std::string usb = std::string(xhci) + "/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
    block(dir, usb + "/block/sdb", usb, "62333952", "1");
    dir.write(usb + "/model", "Ultra Fit\n");
    dir.write(usb + "/rev", "1.00\n");

    // A disk behind neither USB nor ATA.
    const std::string scsi = "sys/devices/platform/vscsi/host7/target7:0:0/7:0:0:0";
    block(dir, scsi + "/block/sde", scsi, "2048", "");

    // A USB hard disk: rotational 1 confirmed by a 7200 RPM rotation rate.
    const std::string usb_hdd = std::string(xhci) + "/usb2/2-2/2-2:1.0/host8/target8:0:0/8:0:0:0";
    block(dir, usb_hdd + "/block/sdf", usb_hdd, "1953525168", "1");
    dir.write(usb_hdd + "/model", "Elements  25A3\n");
    dir.write(usb_hdd + "/vpd_pgb1", std::string("\x00\xb1\x00\x3c\x1c\x20", 6));

    // A virtio disk (no model: named from the PCI function above virtio1) and an SD card.
    block(dir, "sys/devices/pci0000:00/0000:00:04.0/virtio1/block/vda",
          "sys/devices/pci0000:00/0000:00:04.0/virtio1", "41943040", "1");
    dir.write("sys/devices/pci0000:00/0000:00:04.0/virtio1/vendor", "0x1af4\n");
    dir.write("sys/devices/pci0000:00/0000:00:04.0/virtio1/device", "0x0002\n");
    dir.write("sys/devices/pci0000:00/0000:00:04.0/vendor", "0x1af4\n");
    dir.write("sys/devices/pci0000:00/0000:00:04.0/device", "0x1042\n");
    dir.write("usr/share/misc/pci.ids",
              "1af4  Red Hat, Inc.\n\t0002  Not this\n\t1042  Virtio 1.0 block device\n");
    block(dir, "sys/devices/platform/mmc0/mmc0:0001/block/mmcblk0",
          "sys/devices/platform/mmc0/mmc0:0001", "30535680", "0");

    const auto disks = collect_disks(SysRoot(dir.path()));
    ASSERT_EQ(names(disks), (std::vector<std::string>{"mmcblk0", "nvme0n1", "sda", "sdb", "sdc",
                                                      "sdd", "sde", "sdf", "vda"}));
    const DiskInfo& sda = *find(disks, "sda");
    EXPECT_EQ(sda.model, "WDC WD40EZRZ-00GXCB0");
    EXPECT_EQ(sda.bus, "SATA");
    EXPECT_EQ(sda.firmware, "80.00A80");
    EXPECT_EQ(sda.sata_mbps, 6000u);
    EXPECT_EQ(sda.size, 4000787030016ull);
    EXPECT_EQ(sda.logical_block, 512u);
    EXPECT_EQ(sda.physical_block, 4096u);
    EXPECT_EQ(sda.rpm, 5400u);
    EXPECT_EQ(sda.solid_state, false);

    EXPECT_EQ(find(disks, "sdc")->sata_mbps, 0u);  // "Unknown"
    EXPECT_EQ(find(disks, "sdd")->sata_mbps, 0u);  // not a speed
    EXPECT_EQ(find(disks, "sdd")->rpm, 1u);
    EXPECT_EQ(find(disks, "sdd")->solid_state, true);

    const DiskInfo& nvme = *find(disks, "nvme0n1");
    EXPECT_EQ(nvme.model, "Samsung SSD 980 PRO 1TB");
    EXPECT_EQ(nvme.bus, "NVMe");
    EXPECT_EQ(nvme.firmware, "5B2QGXA7");
    EXPECT_EQ(nvme.pcie_link.max_mts, 8000u);
    EXPECT_EQ(nvme.pcie_link.max_width, 4u);
    EXPECT_EQ(nvme.rpm, 0u);
    EXPECT_EQ(nvme.solid_state, true);

    const DiskInfo& stick = *find(disks, "sdb");
    EXPECT_EQ(stick.bus, "USB");
    EXPECT_EQ(disk_link_text(stick), "");
    EXPECT_EQ(stick.firmware, "1.00");
    EXPECT_EQ(find(disks, "sde")->bus, "SCSI");
    EXPECT_EQ(find(disks, "sde")->solid_state, std::nullopt);
    EXPECT_EQ(find(disks, "vda")->bus, "Virtual");
    EXPECT_EQ(find(disks, "mmcblk0")->bus, "SD/MMC");
    // USB, virtio and MMC disks say rotational 1 whatever they are: HDD only with a rate.
    EXPECT_EQ(stick.solid_state, std::nullopt);
    EXPECT_EQ(find(disks, "vda")->solid_state, std::nullopt);
    EXPECT_EQ(find(disks, "vda")->model, "Virtio 1.0 block device");
    EXPECT_EQ(find(disks, "sdf")->solid_state, false);
    EXPECT_EQ(find(disks, "sdf")->model, "Elements 25A3");
    EXPECT_EQ(find(disks, "mmcblk0")->solid_state, true);
    EXPECT_EQ(find(disks, "sde")->model, "");  // SCSI without a model: not named from PCI
}

TEST(CollectDisks, SataSpeedWords) {
    const std::pair<const char*, std::uint32_t> words[] = {
        {"1.5 Gbps\n", 1500}, {"3.0 Gb/s\n", 3000}, {"12\n", 12000}, {"1.25\n", 1250},
        {"<unknown>\n", 0},   {"6.\n", 0},          {".5\n", 0},     {"1.2345\n", 0},
        {"6.0.0\n", 0},       {"1234567\n", 0},
    };
    for (const auto& [word, mbps] : words) {
        TempDir dir;
        sata_disk(dir, 1, "sda", "Disk", word);
        const auto disks = collect_disks(SysRoot(dir.path()));
        ASSERT_EQ(disks.size(), 1u);
        EXPECT_EQ(disks[0].sata_mbps, mbps) << word;
    }
}

TEST(CollectDisks, SelectionAndSkips) {
    TempDir dir;
    const std::string parent = "sys/devices/platform/host0/target0:0:0";
    // Every excluded prefix, each with a backing device so that only the name decides.
    for (const char* name : {"loop0", "ram0", "dm-0", "zram0", "sr0", "md127", "fd0"}) {
        block(dir, parent + "/0:0:0:0/block/" + name, parent + "/0:0:0:0", "100", "0");
    }
    // Without a device entry: virtual.
    dir.write("sys/devices/virtual/block/nbd0/size", "100\n");
    kernel_link(dir, "sys/block/nbd0", "sys/devices/virtual/block/nbd0");
    // Size 0 and no model: an empty slot. Size 0 with a model: a card reader, listed.
    block(dir, parent + "/0:0:0:1/block/sdf", parent + "/0:0:0:1", "0", "1");
    block(dir, parent + "/0:0:0:2/block/sdg", parent + "/0:0:0:2", "0", "1");
    dir.write(parent + "/0:0:0:2/model", "SD Card Reader\n");
    // A dangling device link only loses what it would have given.
    block(dir, parent + "/0:0:0:3/block/sdh", "", "2048", "1");
    dir.symlink(parent + "/0:0:0:3/block/sdh/device", "../../nowhere");
    // A link loop is dropped on its own.
    dir.symlink("sys/block/sdi", "sdi");
    // A size too large for bytes saturates instead of wrapping around.
    block(dir, parent + "/0:0:0:4/block/sdj", parent + "/0:0:0:4", "36028797018963968", "");

    const auto disks = collect_disks(SysRoot(dir.path()));
    EXPECT_EQ(names(disks), (std::vector<std::string>{"sdg", "sdh", "sdj"}));
    EXPECT_EQ(find(disks, "sdg")->model, "SD Card Reader");
    EXPECT_EQ(find(disks, "sdh")->model, "");
    EXPECT_EQ(find(disks, "sdh")->size, 1048576u);
    EXPECT_EQ(find(disks, "sdh")->bus, "SCSI");
    EXPECT_EQ(find(disks, "sdj")->size, UINT64_MAX);

    EXPECT_TRUE(collect_disks(SysRoot(dir.path() + "/missing")).empty());
}

TEST(CollectDisks, FixtureFolderNameCannotFakeTheBus) {
    TempDir dir;
    // The root itself lies under folders named like USB and ATA ports.
    const std::string base = "usb-test/ata1/host0";
    const std::string scsi = base + "/sys/devices/platform/vscsi/host1/target1:0:0/1:0:0:0";
    dir.write(scsi + "/block/sda/size", "2048\n");
    dir.write(scsi + "/model", "Virtual Disk\n");
    kernel_link(dir, scsi + "/block/sda/device", scsi);
    kernel_link(dir, base + "/sys/block/sda", scsi + "/block/sda");
    const auto disks = collect_disks(SysRoot(dir.path() + "/" + base));
    ASSERT_EQ(disks.size(), 1u);
    EXPECT_EQ(disks[0].bus, "SCSI");
    EXPECT_EQ(disk_link_text(disks[0]), "");
}

TEST(CollectOpticalDrives, ModelsOnceWithFallback) {
    TempDir dir;
    const std::string parent = "sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0";
    for (const char* n : {"0", "1", "2", "3"}) {
        const std::string scsi = parent + "/0:0:" + n + ":0";
        block(dir, scsi + "/block/sr" + std::string(n), scsi, "2097151", "1");
    }
    dir.write(parent + "/0:0:0:0/model", "HL-DT-ST DVDRAM GH24NSD1\n");
    dir.write(parent + "/0:0:1:0/model", "HL-DT-ST DVDRAM GH24NSD1 \n");  // same drive twice
    dir.write(parent + "/0:0:2:0/model", "   \n");
    auto drives = collect_optical_drives(SysRoot(dir.path()));
    std::sort(drives.begin(), drives.end());  // directory order is the file system's own
    EXPECT_EQ(drives, (std::vector<std::string>{"HL-DT-ST DVDRAM GH24NSD1", "Optical drive"}));
    EXPECT_TRUE(collect_disks(SysRoot(dir.path())).empty());
}

}  // namespace
}  // namespace nadrel

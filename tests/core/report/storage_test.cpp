// STORAGE and NETWORK section rows, in summary and detail form.
#include <gtest/gtest.h>

#include "core/report/sections.h"
#include "support/rows.h"

namespace nadrel {
namespace {

using test::rows_text;

DiskInfo nvme() {
    DiskInfo d;
    d.name = "nvme0n1";
    d.model = "Samsung SSD 980 1TB";
    d.bus = "NVMe";
    d.firmware = "3B4QFXO7";
    d.pcie_link = {8000, 4};
    d.size = 1000204886016ull;
    d.logical_block = 512;
    d.physical_block = 512;
    d.solid_state = true;
    return d;
}

TEST(StorageRows, DiskHeadlineSummaryAndDetail) {
    SystemSnapshot s;
    s.disks.push_back(nvme());
    DiskInfo hdd;
    hdd.name = "sda";
    hdd.model = "WDC WD40EZRZ(R)";
    hdd.bus = "SATA";
    hdd.size = 4000787030016ull;
    hdd.logical_block = 512;
    hdd.physical_block = 4096;
    hdd.rpm = 5400;
    hdd.solid_state = false;
    hdd.sata_mbps = 6000;
    s.disks.push_back(hdd);

    EXPECT_EQ(rows_text(storage_rows(s, false)),
              "  Disk nvme0n1      : Samsung SSD 980 1TB (NVMe, SSD)\n"
              "  \u2502 Capacity        : 931.5GB\n"
              "  Disk sda          : WDC WD40EZRZ (SATA, HDD)\n"
              "  \u2502 Capacity        : 3.6TB\n");
    EXPECT_EQ(rows_text(storage_rows(s, true)),
              "  Disk nvme0n1      : Samsung SSD 980 1TB (NVMe, SSD)\n"
              "  \u2502 Capacity        : 931.5GB\n"
              "  \u2502 Firmware        : 3B4QFXO7\n"
              "  \u2502 Sector size     : 512B\n"
              "  \u2502 Link            : PCIe 3.0 x4\n"
              "  Disk sda          : WDC WD40EZRZ (SATA, HDD)\n"
              "  \u2502 Capacity        : 3.6TB\n"
              "  \u2502 Sector size     : 512B logical  /  4096B physical\n"
              "  \u2502 Rotation        : 5400 RPM\n"
              "  \u2502 Link            : SATA 6.0Gb/s\n");
}

TEST(StorageRows, BareDiskAndTagCombinations) {
    struct Case {
        std::string bus;
        std::optional<bool> solid_state;
        std::string headline;
    };
    const Case cases[] = {
        {"", std::nullopt, "  Disk sdz          : Unknown drive\n"},
        {"USB", std::nullopt, "  Disk sdz          : Unknown drive (USB)\n"},
        {"", true, "  Disk sdz          : Unknown drive (SSD)\n"},
        {"", false, "  Disk sdz          : Unknown drive (HDD)\n"},
    };
    for (const auto& c : cases) {
        SystemSnapshot s;
        DiskInfo d;
        d.name = "sdz";
        d.bus = c.bus;
        d.solid_state = c.solid_state;
        s.disks.push_back(d);
        // No size, firmware, sector sizes or link: the headline alone, in both modes.
        EXPECT_EQ(rows_text(storage_rows(s, false)), c.headline);
        EXPECT_EQ(rows_text(storage_rows(s, true)), c.headline);
    }
    EXPECT_TRUE(storage_rows(SystemSnapshot{}, true).empty());
}

TEST(StorageRows, SectorSizeFormsAndRotation) {
    struct Case {
        std::uint32_t logical, physical, rpm;
        std::string rows;
    };
    const Case cases[] = {
        {512, 512, 0, "  \u2502 Sector size     : 512B\n"},
        {512, 0, 1, "  \u2502 Sector size     : 512B\n"},  // rpm 1: non-rotating, no row
        {4096, 512, 2,
         "  \u2502 Sector size     : 4096B logical  /  512B physical\n"
         "  \u2502 Rotation        : 2 RPM\n"},
        {0, 4096, 7200,
         "  \u2502 Sector size     : 4096B physical\n"
         "  \u2502 Rotation        : 7200 RPM\n"},
        {0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        SystemSnapshot s;
        DiskInfo d;
        d.name = "sda";
        d.model = "M";
        d.logical_block = c.logical;
        d.physical_block = c.physical;
        d.rpm = c.rpm;
        s.disks.push_back(d);
        EXPECT_EQ(rows_text(storage_rows(s, true)), "  Disk sda          : M\n" + c.rows)
            << c.logical << "/" << c.physical << "/" << c.rpm;
    }
}

RaidArray array(std::string name, std::string level, std::uint32_t devices,
                std::optional<std::uint32_t> missing, std::string state) {
    RaidArray r;
    r.name = std::move(name);
    r.level = std::move(level);
    r.devices = devices;
    r.missing = missing;
    r.state = std::move(state);
    return r;
}

TEST(StorageRows, ArraysSwapAndVolumesInTheSummary) {
    SystemSnapshot s;
    s.arrays = {array("md0", "raid1", 2, 0, "clean"), array("md1", "raid5", 4, 1, "active"),
                array("md2", "linear", 1, std::nullopt, "clean"),
                array("md3", "raid6", 0, std::nullopt, "inactive")};
    s.swap = {{"/dev/zram0", "zram", 4294967296, 0}, {"/swap file", "file", 1073741824, 1048576}};
    s.volumes = {{"/dev/loop3", "/snap/core22/1033", "squashfs", "loop3", true, std::nullopt},
                 {"/dev/sdb", "/mnt/cd", "iso9660", "", true, std::nullopt}};
    EXPECT_EQ(rows_text(storage_rows(s, false)),
              "  Volumes           : /mnt/cd (iso9660, /dev/sdb, read-only)\n"
              "  Arrays\n"
              "  \u2022 md0 (RAID1, 2 disks, clean)\n"
              "  \u2022 md1 (RAID5, 3 of 4 disks, degraded)\n"
              "  \u2022 md2 (linear, 1 disk, clean)\n"
              "  \u2022 md3 (RAID6, inactive)\n"
              "  Swap\n"
              "  \u2022 zram0 (zram, 4GB, 0B used)\n"
              "  \u2022 /swap file (file, 1GB, 1MB used)\n");
}

NetAdapter adapter(std::string name, std::string kind, bool up, std::uint32_t speed = 0) {
    NetAdapter a;
    a.name = std::move(name);
    a.kind = std::move(kind);
    a.link_up = up;
    a.speed_mbps = speed;
    return a;
}

TEST(NetworkRows, SummaryNotes) {
    SystemSnapshot s;
    s.net_adapters = {adapter("Intel Wi-Fi 6 AX201", "Wi-Fi", true),
                      adapter("Realtek RTL8111", "Ethernet", true, 1000),
                      adapter("Realtek RTL8125", "Ethernet", false),
                      adapter("Intel Ethernet Controller I225-V", "Ethernet", false),
                      adapter("wwan0", "", false),
                      adapter("usb0", "", true)};
    EXPECT_EQ(rows_text(network_rows(s, false)),
              "  Adapters\n"
              "  \u2022 Intel Wi-Fi 6 AX201 (connected)\n"
              "  \u2022 Realtek RTL8111 (Ethernet, connected)\n"
              "  \u2022 Realtek RTL8125 (Ethernet)\n"
              "  \u2022 Intel Ethernet Controller I225-V\n"
              "  \u2022 wwan0\n"
              "  \u2022 usb0 (connected)\n");
    // The kind is compared without regard to case.
    s.net_adapters = {adapter("Onboard ETHERNET(TM)", "Ethernet", false)};
    EXPECT_EQ(rows_text(network_rows(s, false)), "  Adapters          : Onboard ETHERNET\n");
    EXPECT_TRUE(network_rows(SystemSnapshot{}, false).empty());
    EXPECT_TRUE(network_rows(SystemSnapshot{}, true).empty());
}

TEST(NetworkRows, DetailGroups) {
    SystemSnapshot s;
    s.net_adapters = {adapter("Realtek RTL8125", "Ethernet", true, 2500)};
    EXPECT_EQ(rows_text(network_rows(s, true)),
              "  Adapter           : Realtek RTL8125\n"
              "  \u2502 Medium          : Ethernet\n"
              "  \u2502 Link            : Connected\n"
              "  \u2502 Link speed      : 2.5Gb/s\n");
    s.net_adapters.push_back(adapter("usb0", "", false));
    EXPECT_EQ(rows_text(network_rows(s, true)),
              "  Adapter 1         : Realtek RTL8125\n"
              "  \u2502 Medium          : Ethernet\n"
              "  \u2502 Link            : Connected\n"
              "  \u2502 Link speed      : 2.5Gb/s\n"
              "  Adapter 2         : usb0\n"
              "  \u2502 Link            : Not connected\n");
}

}  // namespace
}  // namespace nadrel

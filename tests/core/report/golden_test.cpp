// A whole document built from a constructed snapshot, compared with its golden text.
#include "support/golden.h"

#include <gtest/gtest.h>

#include "core/report/builder.h"

namespace nadrel::test {

// A workstation with something in every section, trademark marks and multi-byte texts included;
// the reading-back tests start from it too.
SystemSnapshot workstation() {
    SystemSnapshot s;
    s.hostname = "werkbank";
    s.os_name = "Debian GNU/Linux 12 (bookworm)";
    s.kernel = "(6.1.0-18-amd64)";
    s.os_installed = "2023-06-11";

    s.cpu.model = "13th Gen Intel(R) Core(TM) i7-13700K";
    s.cpu.vendor_id = "GenuineIntel";
    s.cpu.family = 6;
    s.cpu.model_number = 183;
    s.cpu.stepping = 1;
    s.cpu.cores = 16;
    s.cpu.threads = 24;
    s.cpu.p_cores = 8;
    s.cpu.e_cores = 8;
    s.cpu.base_mhz = 3400;
    s.cpu.max_mhz = 5400;
    s.cpu.l1_total = 1441792;
    s.cpu.l2_total = 25165824;
    s.cpu.l3_total = 31457280;
    s.cpu.caches = {{"Data", 1, 24, 49152, 64, 12}, {"Unified", 3, 1, 31457280, 64, 12}};
    s.cpu.features = {"sse4_2", "avx2"};

    s.memory_total = 33362817024ull;
    s.memory_installed = 34359738368ull;
    s.memory_max_capacity = 137438953472ull;
    s.memory_slots = 4;
    s.memory_modules = {{"DIMM_A2", "DDR5", "DIMM", "Kingston", "KF556C40-16", 17179869184ull, 5600,
                         4800, 1100, 64, 64, 1, "1A2B3C4D", "TAG-A2", ""},
                        {"DIMM_B2", "DDR5", "DIMM", "Kingston", "KF556C40-16", 17179869184ull, 5600,
                         4800, 1100, 64, 64, 1, "1A2B3C4E", "TAG-B2", ""}};

    s.gpus = {{"AD104 [GeForce RTX 4070]",
               "NVIDIA",
               {16000, 16},
               "95.04.31.00.3A",
               12878610432ull,
               0x10DE,
               0x2786,
               0x1462,
               0x5122,
               0xA1,
               "0000:01:00.0",
               "nvidia",
               {{"DP-1", true}, {"DP-2", false}, {"DP-3", true}, {"HDMI-A-1", false}}}};
    s.displays = {{"DELL U2723QE", 3840, 2160, 27, 597, 336, 60, 2022, 12, 10, "7XKC0P3", "DP-1",
                   "0000:01:00.0"},
                  {"LG ULTRAGEAR", 2560, 1440, 27, 600, 340, 165, 2021, 0, 8, "109NTAB1Q227",
                   "DP-3", "0000:01:00.0"}};

    // A LUKS partition holding btrfs with two subvolumes mounted, an EFI partition, a nearly
    // full data disk, a stick formatted whole, network and FUSE mounts and zram swap.
    const std::string luks = "3f2a9c1e-5b7d-4e8f-9a0b-1c2d3e4f5a6b";
    DiskInfo nvme{"nvme0n1",  "Samsung SSD 980 PRO 1TB", "NVMe", "5B2QGXA7",    0,
                  {16000, 4}, 1000204886016ull,          512,    512,           0,
                  true,       "S5P2NG0R123456A",         "nvme", "0000:04:00.0"};
    nvme.partition_table = "gpt";
    nvme.partitions = {{"nvme0n1p1",
                        1048576,
                        629145600,
                        "EFI System Partition",
                        "",
                        "c12a7328-f81f-11d2-ba4b-00a0c93ec93b",
                        {"vfat", "", "1A2B-3C4D", {"/boot/efi"}, {}}},
                       {"nvme0n1p2",
                        630194176,
                        999574372352,
                        "",
                        "",
                        "0fc63daf-8483-4772-8e79-3d69d8477de4",
                        {"crypto_LUKS", "", luks, {}, {"dm-0"}}}};
    DiskInfo hdd{"sda", "WDC WD40EZRZ-00GXCB0", "SATA", "80.00A80",    6000,
                 {},    4000787030016ull,       512,    4096,          5400,
                 false, "WD-WCC4E1234567",      "ahci", "0000:00:17.0"};
    hdd.partition_table = "dos";
    hdd.partitions = {
        {"sda1", 1048576, 4000785981440, "", "", "0x83", {"ext4", "data", "", {"/data"}, {}}}};
    DiskInfo stick{"sdb", "", "USB", "", 0, {}, 0, 0, 0, 0, std::nullopt, "", "uas", ""};
    stick.content = {"exfat", "STICK", "", {"/media/alice/STICK"}, {}};
    stick.size = 31914983424ull;
    s.disks = {nvme, hdd, stick};
    s.optical_drives = {"HL-DT-ST DVDRAM GH24NSD1"};
    s.device_mapper = {{"luks-" + luks,
                        "dm-0",
                        "CRYPT-LUKS2-3f2a9c1e5b7d4e8f9a0b1c2d3e4f5a6b-luks-" + luks,
                        {"nvme0n1p2"},
                        999557595136,
                        {"btrfs", "fedora", "", {"/", "/home"}, {}},
                        "crypt",
                        "LUKS2"}};
    const VolumeUsage root_use{999557595136, 440234819584, 557892386816};
    s.volumes = {{"/dev/mapper/luks-" + luks, "/", "btrfs", "dm-0", false, root_use},
                 {"/dev/nvme0n1p1", "/boot/efi", "vfat", "nvme0n1p1", false,
                  VolumeUsage{627900416, 31457280, 596443136}},
                 {"/dev/mapper/luks-" + luks, "/home", "btrfs", "dm-0", false, root_use},
                 {"/dev/sda1", "/data", "ext4", "sda1", false,
                  VolumeUsage{3937362788352, 3896412553216, 40950235136}},
                 {"/dev/sdb", "/media/alice/STICK", "exfat", "sdb", false,
                  VolumeUsage{31902400512, 1073741824, 30828658688}},
                 {"nas.local:/export/media", "/mnt/nas", "nfs4", "", false, std::nullopt},
                 {"alice@build:/srv", "/home/alice/remote", "fuse.sshfs", "", false, std::nullopt},
                 {"/dev/sr0", "/mnt/dvd", "iso9660", "", true, std::nullopt}};
    s.swap = {{"/dev/zram0", "zram", 8589930496, 268435456}};

    const std::vector<NetAddress> addresses = {{false, "192.168.1.20", 24},
                                               {true, "fe80::67c:16ff:feaa:bbcc", 64},
                                               {true, "2001:db8::20", 64}};
    s.net_adapters = {
        {"Ethernet Controller I225-V", "Ethernet", 2500, true, "enp5s0", "04:7c:16:aa:bb:cc",
         "0000:05:00.0", "igc", "1082:8770", 9000, "full", addresses},
        {"Wi-Fi 6E(802.11ax) AX210/AX1675* 2x2", "Wi-Fi", 0, false, "wlp6s0", "", "0000:06:00.0",
         "iwlwifi", "", 1500, "", decltype(addresses)()}};
    s.sound_cards = {"HDA Intel PCH", "HDA NVidia"};
    s.audio_devices = {"ALC897 Analog (playback, capture)", "HDMI 0 (playback)"};
    s.bluetooth = {"AX210 Bluetooth"};
    s.usb_devices = {{"Genesys Logic USB2.1 Hub", 480, 0x05E3, 0x0610, 1, 1, "1-2", "2.10", {}},
                     {"Logitech USB Receiver", 12, 0x046D, 0xC52B, 2, 1, "1-2.4", "2.00", {}},
                     {"SanDisk Ultra(R) Fit", 5000, 0x0781, 0x5583, 1, 2, "2-3", "3.20", {}}};
    s.usb_devices[0].interfaces = {{0, 0x09, "Hub", "hub"}};
    s.usb_devices[1].interfaces = {{0, 0x03, "Human Interface Device", "usbhid"},
                                   {1, 0x03, "Human Interface Device", "usbhid"},
                                   {2, 0x03, "Human Interface Device", "usbhid"}};
    s.usb_devices[2].interfaces = {{0, 0x08, "Mass Storage", "uas"}};
    s.pci_devices = {
        {"0000:00:01.0", 0x060400, "PCI bridge", 0x8086, 0xA70D, 0, 0, 0x01, "Intel Corporation",
         "Raptor Lake PCI Express 5.0 Graphics Port (PEG010)", "", "pcieport", "", "", std::nullopt,
         1, PcieLink{16000, 16, 16000, 8, 0, 0}, false, false},
        {"0000:01:00.0", 0x030000, "VGA compatible controller", 0x10DE, 0x2786, 0x1462, 0x5122,
         0xA1, "NVIDIA Corporation", "AD104 [GeForce RTX 4070]", "GAMING X TRIO", "nvidia",
         "nvidia", "535.129.03", 0, 14, PcieLink{16000, 16, 16000, 8, 16000, 16}, true, false},
        {"0000:00:1f.0", 0x060100, "", 0x8086, 0x7A04, 0x1462, 0x7D91, 0x11, "Intel Corporation",
         "", "", "", "", "", std::nullopt, std::nullopt, std::nullopt, false, std::nullopt}};

    s.dmi = {"Micro-Star International Co., Ltd.",
             "MAG Z790 TOMAHAWK WIFI (MS-7D91)",
             "1.0",
             "Micro-Star International Co., Ltd.",
             "MS-7D91",
             "MS-7D91-SKU01",
             "American Megatrends International, LLC.",
             "1.60",
             "2023-04-12"};
    s.smbios_version = "3.5";
    s.bios_rom_size = 33554432;
    s.chassis = "Desktop";
    s.cpu_socket = "LGA1700";
    s.tpm = "2.0 (INTC)";
    s.secure_boot = "Enabled";
    s.usb_ports = 14;
    s.ports = {{"JUSB1 (Gehäuse vorn)", "USB"}, {"LAN", "Network Port"}};
    s.slots = {{"PCI_E1", "PCI Express Gen5", "x16", "In use"},
               {"PCI_E2", "PCI Express Gen3", "x1", "Available"},
               {"PCI_E3", "PCI Express Gen4", "x4", "Available"},
               {"M2_1", "M.2 Socket 3 (Key M)", "", "In use"}};

    s.batteries = {{"Li-ion", "2023-05", 12, 57000, 51300, 15400, "01A7"}};
    s.ids = {"To Be Filled",
             "03000200-0400-0500-0006-000700080009",
             "07D9112_N31E123456",
             "Default string",
             "",
             "",
             "5f0c3bd2e1a94c7d8b6e2f1a0c9d8e7f"};
    return s;
}

namespace {

TEST(ReportGolden, ConstructedWorkstation) {
    const char* const header = "NADREL  -  System Report\nGenerated 2026-12-07 11:33 UTC\n";
    const SystemSnapshot s = workstation();
    EXPECT_EQ(compare_golden("constructed.txt", render_text(header, build_report(s, false))), "");
    EXPECT_EQ(compare_golden("constructed-detail.txt", render_text(header, build_report(s, true))),
              "");
}

}  // namespace
}  // namespace nadrel::test

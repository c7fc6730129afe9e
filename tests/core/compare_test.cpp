// Comparing two reports: what a technician asks after a repair, one case per kind of change.
#include "core/compare.h"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "core/snapshot_json.h"

namespace nadrel {
namespace {

using Json = nlohmann::ordered_json;

SystemSnapshot machine() {
    SystemSnapshot s;
    s.hostname = "forge";
    s.cpu.model = "AMD Ryzen 9 7950X";
    s.cpu.current_mhz = 4500;
    s.memory_modules = {{"DIMM_A2", "DDR4", "DIMM", "Kingston", "KF3200C16D4/16GX", 17179869184ull,
                         3200, 3200, 1350, 64, 64, 2, "AA01", "", "BANK 0"},
                        {"DIMM_B2", "DDR4", "DIMM", "Kingston", "KF3200C16D4/16GX", 17179869184ull,
                         3200, 3200, 1350, 64, 64, 2, "AA02", "", "BANK 1"}};
    GpuInfo& card = s.gpus.emplace_back();
    card.name = "AD104 [GeForce RTX 4070]";
    card.vendor = "NVIDIA";
    card.pcie_link = {16000, 16};
    card.vendor_id = 0x10DE;
    card.device_id = 0x2786;
    DiskInfo disk;
    disk.name = "nvme0n1";
    disk.model = "Samsung 980";
    disk.bus = "NVMe";
    disk.size = 1000204886016ull;
    disk.serial = "S64DNF0R1";
    disk.partitions = {{"nvme0n1p1", 1048576, 536870912, "", "", "", {"vfat", "", "", {}, {}}}};
    s.disks = {disk};
    s.net_adapters = {
        {"I225-V", "Ethernet", 1000, true, "enp5s0", "04:7c:16:aa:bb:cc", "", "", "", 0, "", {}}};
    s.dmi.bios_version = "1.20";
    s.memory_modules[0].corrected_errors = 0;
    s.sensors = {{"k10temp", "0000:00:18.3", "Tctl", SensorKind::Temperature, 48.5},
                 {"nvme", "nvme0", "Composite", SensorKind::Temperature, 41.9}};
    s.batteries.emplace_back().name = "BAT0";
    s.batteries[0].charge_percent = 80;
    s.batteries[0].design_mwh = 50000;
    s.batteries[0].full_mwh = 45000;
    s.volumes = {{"/dev/nvme0n1p2", "/", "ext4", "nvme0n1p2", false, VolumeUsage{100, 40, 60}}};
    PciDevice& gpu = s.pci_devices.emplace_back();
    gpu.address = "0000:01:00.0";
    gpu.vendor_id = 0x10DE;
    gpu.device_id = 0x2786;
    gpu.link = PcieLink{16000, 16, 16000, 16, 16000, 16};
    gpu.link_judged = true;
    return s;
}

std::string document(const std::function<void(SystemSnapshot&)>& change = {},
                     bool sanitized = false) {
    SystemSnapshot s = machine();
    if (change)
        change(s);
    return snapshot_json(s, {1796791122, sanitized});
}

TEST(Compare, OneLinePerChangeInTheFormsATechnicianReads) {
    struct Case {
        const char* what;
        std::function<void(SystemSnapshot&)> change;
        std::string lines;
    };
    const Case cases[] = {
        {"nothing", {}, ""},
        {"a DIMM removed", [](SystemSnapshot& s) { s.memory_modules.pop_back(); },
         "Memory: DIMM_B2 removed (16GB DDR4 3200, Kingston KF3200C16D4/16GX)\n"},
        {"the BIOS updated", [](SystemSnapshot& s) { s.dmi.bios_version = "1.40"; },
         "BIOS: 1.20 → 1.40\n"},
        {"a link that dropped", [](SystemSnapshot& s) { s.gpus[0].pcie_link.max_width = 8; },
         "GPU 1 link: PCIe 4.0 x16 → PCIe 4.0 x8\n"},
        {"a disk swapped",
         [](SystemSnapshot& s) {
             s.disks[0].model = "WD SN770";
             s.disks[0].serial = "23117M8";
         },
         "Disk nvme0n1 replaced: Samsung 980 → WD SN770\n"},
        {"a disk added, found by serial wherever it is listed",
         [](SystemSnapshot& s) {
             s.disks.insert(s.disks.begin(), s.disks[0]);
             s.disks[0].name = "sda";
             s.disks[0].serial = "WD-1";
             s.disks[0].model = "WDC WD40";
         },
         "Storage: sda added (WDC WD40, 931.5GB, NVMe)\n"},
        {"only a clock: left out", [](SystemSnapshot& s) { s.cpu.current_mhz = 800; }, ""},
        {"another module in the same slot: the slot is what a module is known by",
         [](SystemSnapshot& s) { s.memory_modules[1].serial = "AA03"; },
         "Memory DIMM_B2 serial: AA02 → AA03\n"},
        {"the processor replaced: its other values are not listed as well",
         [](SystemSnapshot& s) {
             s.cpu.model = "AMD Ryzen 7 7700X";
             s.cpu.cores = 8;
         },
         "CPU replaced: AMD Ryzen 9 7950X → AMD Ryzen 7 7700X\n"},
        {"a battery added and a network link lost",
         [](SystemSnapshot& s) {
             s.batteries.emplace_back().name = "BAT1";
             s.batteries[1].technology = "Li-ion";
             s.net_adapters[0].link_up = false;
             s.net_adapters[0].speed_mbps = 0;
         },
         "Network enp5s0 connected: yes → no\nNetwork enp5s0 link speed: 1Gb/s → unknown\n"
         "Battery: BAT1 added (Li-ion)\n"},
        {"sensors renumbered, readings, charge and usage moved: nothing to say",
         [](SystemSnapshot& s) {
             std::swap(s.sensors[0], s.sensors[1]);
             s.sensors[0].value = 70;
             s.batteries[0].charge_percent = 20;
             s.volumes[0].usage = VolumeUsage{100, 90, 10};
         },
         ""},
        {"errors counted, a pack worn, a limit and a file system that changed",
         [](SystemSnapshot& s) {
             s.memory_modules[0].corrected_errors = 14;
             s.batteries[0].full_mwh = 40000;
             s.sensors[1].critical = 84.85;
             s.volumes[0].filesystem = "btrfs";
         },
         "Memory DIMM_A2 corrected errors: 0 → 14\nVolume / filesystem: ext4 → btrfs\n"
         "Battery BAT0 wear: 10.0% → 20.0%\nSensor nvme Composite critical: unknown → 84.85\n"},
        {"a function's link: the idle speed drop left out, the lost lanes shown",
         [](SystemSnapshot& s) {
             s.pci_devices[0].link->current_mts = 2500;
             s.pci_devices[0].low_power = true;
             s.pci_devices[0].link->current_width = 8;
         },
         "PCI 0000:01:00.0 link width: 16 → 8\n"},
        {"a group known only now: its parts in words",
         [](SystemSnapshot& s) { s.kernel_taint = 4097; },
         "System kernel taint: unknown → value: 4097; flags: P, O\n"},
        {"a list inside a device, named within it",
         [](SystemSnapshot& s) {
             s.disks[0].partitions.clear();
             s.gpus[0].connectors = {{"DP-1", true}};
         },
         "GPU 1 connector DP-1 added\nDisk nvme0n1 partition nvme0n1p1 removed (512MB, vfat)\n"},
    };
    for (const Case& c : cases) {
        const Comparison r = compare_reports(document(), document(c.change), {});
        EXPECT_EQ(r.failure, "");
        EXPECT_EQ(r.output, c.lines) << c.what;
        EXPECT_EQ(r.changes,
                  static_cast<std::size_t>(std::count(c.lines.begin(), c.lines.end(), '\n')))
            << c.what;
    }
    const auto clock = [](SystemSnapshot& s) {
        s.cpu.current_mhz = 800;
        s.sensors[0].value = 60;
    };
    EXPECT_EQ(compare_reports(document(), document(clock), {true}).output,
              "CPU clock: 4500MHz → 800MHz\nSensor k10temp Tctl reading: 48.5 → 60.0\n");
}

// The same machine sanitized and not is no change; a real change still shows, hidden.
TEST(Compare, SanitizedAgainstPlain) {
    EXPECT_EQ(compare_reports(document(), document({}, true), {}).output, "");
    const auto swap = [](SystemSnapshot& s) { s.disks[0].serial = "OTHER"; };
    EXPECT_EQ(compare_reports(document(swap), document({}, true), {}).output, "");
    const auto bios = [](SystemSnapshot& s) { s.dmi.bios_version = "forge-2"; };
    EXPECT_EQ(compare_reports(document({}, true), document(bios), {}).output,
              "BIOS: 1.20 → <hidden>-2\n");
    EXPECT_EQ(compare_reports(document(), document(swap), {false, false, true}).output, "");
}

// A newer document's keys are compared as values; a key one side lacks is no change.
TEST(Compare, KeysOfOtherVersionsAndTheJsonForm) {
    Json old_doc = Json::parse(document());
    Json new_doc = old_doc;
    new_doc["schema_version"] = 2;
    new_doc["sensors"] = Json::array({{{"label", "Tctl"}}});
    old_doc["sensors"] = Json::array();
    new_doc["disks"][0]["wwn"] = "eui.0025";
    new_doc["disks"][0]["temperature_celsius"] = 41;
    new_doc["memory"]["modules"].erase(1);
    const Comparison r = compare_reports(old_doc.dump(), new_doc.dump(), {false, true, false});
    const Json out = Json::parse(r.output);
    EXPECT_EQ(out["old"], Json({{"generated", "2026-12-09T04:38:42Z"}, {"hostname", "forge"}}));
    ASSERT_EQ(out["changes"].size(), 2u) << r.output;
    EXPECT_EQ(out["changes"][0]["section"], "memory");
    EXPECT_EQ(out["changes"][0]["subject"], "DIMM_B2");
    EXPECT_EQ(out["changes"][0]["change"], "removed");
    EXPECT_EQ(out["changes"][0]["key"], nullptr);
    EXPECT_EQ(out["changes"][0]["old"]["serial"], "AA02");
    EXPECT_EQ(out["changes"][0]["new"], nullptr);
    EXPECT_EQ(out["changes"][1], Json({{"section", "sensors"},
                                       {"subject", "Tctl"},
                                       {"change", "added"},
                                       {"key", nullptr},
                                       {"old", nullptr},
                                       {"new", {{"label", "Tctl"}}}}));
    EXPECT_EQ(r.changes, 2u);
}

}  // namespace
}  // namespace nadrel

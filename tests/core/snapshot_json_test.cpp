// The JSON document: unknown values as null, typed conversions, cleaning, sanitizing, order.
#include "core/snapshot_json.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/sanitize.h"

namespace nadrel {
namespace {

using Json = nlohmann::ordered_json;

Json parse(const SystemSnapshot& s, bool sanitized = false) {
    const std::string text = snapshot_json(s, {1796791122, sanitized});
    EXPECT_TRUE(text.ends_with("}\n"));
    return Json::parse(text);
}

TEST(SnapshotJson, Rfc3339InUtc) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "1970-01-01T00:00:00Z"},
        {-1, "1969-12-31T23:59:59Z"},
        {1709251199, "2024-02-29T23:59:59Z"},
        {1796791122, "2026-12-09T04:38:42Z"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(rfc3339_utc(seconds), text) << seconds;
}

TEST(SnapshotJson, UnknownIsNullAndListsAreEmpty) {
    const Json doc = parse(SystemSnapshot{});
    std::vector<std::string> keys;
    for (const auto& item : doc.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "schema_version",   "generated",     "sanitized",      "attention",
                        "system",           "cpu",           "memory",         "gpus",
                        "displays",         "disks",         "optical_drives", "volumes",
                        "arrays",           "device_mapper", "swap",           "loop_devices",
                        "network",          "board",         "battery",        "batteries",
                        "device_batteries", "ac_online",     "sensors",        "audio",
                        "bluetooth",        "usb",           "pci_devices"}));
    EXPECT_EQ(doc["generated"], "2026-12-09T04:38:42Z");
    EXPECT_EQ(doc["system"]["hostname"], nullptr);  // the collector's "Unknown"
    EXPECT_EQ(doc["system"]["os"], "Linux");
    EXPECT_EQ(doc["system"]["secure_boot"], nullptr);
    EXPECT_EQ(doc["cpu"]["family"], nullptr);  // no vendor line: no signature
    EXPECT_EQ(doc["cpu"]["cores"], nullptr);
    EXPECT_EQ(doc["battery"], nullptr);
    EXPECT_EQ(doc["ac_online"], nullptr);
    EXPECT_EQ(doc["system"]["kernel_taint"], nullptr);
    EXPECT_EQ(doc["memory"]["swap_total_bytes"], nullptr);
    EXPECT_EQ(doc["attention"], Json::array());
    EXPECT_EQ(doc["gpus"], Json::array());
    EXPECT_EQ(doc["audio"]["endpoints"], Json::array());
}

TEST(SnapshotJson, TypedValues) {
    SystemSnapshot s;
    s.kernel = "(kernel 6.1.0-18-amd64)";
    s.secure_boot = "Off";
    s.cpu.vendor_id = "AuthenticAMD";
    s.cpu.family = 25;
    s.cpu.model_number = 97;
    s.cpu.model = "AMD Ryzen(TM) 9 7950X";
    GpuInfo& gpu = s.gpus.emplace_back();
    gpu.name = "GeForce \xff RTX";
    gpu.vendor_id = 0x10DE;
    gpu.pcie_link = {16000, 16};
    s.gpus.emplace_back().device_id = 0x2786;  // not in the database
    DiskInfo& ssd = s.disks.emplace_back();
    ssd.rpm = 1;
    ssd.solid_state = true;
    ssd.serial = "S(C)1";
    ssd.pcie_link = {8000, 4};
    DiskInfo& hdd = s.disks.emplace_back();
    hdd.rpm = 5400;
    hdd.solid_state = false;
    hdd.sata_mbps = 6000;
    s.batteries.emplace_back().design_mwh = 50000;
    s.batteries[0].full_mwh = 52000;
    s.memory_modules.emplace_back().form_factor = "Row Of Chips";
    const Json doc = parse(s);
    EXPECT_EQ(doc["system"]["kernel"], "6.1.0-18-amd64");
    EXPECT_EQ(doc["system"]["secure_boot"], false);
    EXPECT_EQ(doc["cpu"]["model"], "AMD Ryzen 9 7950X");
    EXPECT_EQ(doc["cpu"]["codename"], "Raphael (Zen 4)");
    EXPECT_EQ(doc["cpu"]["process"], "TSMC N5");
    EXPECT_EQ(doc["cpu"]["stepping"], 0);  // a real stepping once the vendor is known
    EXPECT_EQ(doc["gpus"][0]["name"], "GeForce \xef\xbf\xbd RTX");  // invalid UTF-8 replaced
    EXPECT_EQ(doc["gpus"][0]["vendor_id"], "10de");
    EXPECT_EQ(doc["gpus"][0]["revision"], "00");
    EXPECT_EQ(doc["gpus"][0]["subsystem_vendor_id"], nullptr);
    // The link texts stay beside the numbers they are made of.
    EXPECT_EQ(doc["gpus"][0]["pcie_link"], "PCIe 4.0 x16");
    EXPECT_EQ(doc["gpus"][0]["link_gts"], 16.0);
    EXPECT_EQ(doc["gpus"][0]["link_width"], 16);
    EXPECT_EQ(doc["gpus"][1]["name"], "PCI 0000:2786");
    EXPECT_EQ(doc["disks"][0]["link"], "PCIe 3.0 x4");
    EXPECT_EQ(doc["disks"][0]["link_gts"], 8.0);
    EXPECT_EQ(doc["disks"][1]["link"], "SATA 6.0Gb/s");
    EXPECT_EQ(doc["disks"][1]["link_mbps"], 6000);
    EXPECT_EQ(doc["disks"][0]["rpm"], nullptr);     // 1 = non-rotating
    EXPECT_EQ(doc["disks"][0]["serial"], "S(C)1");  // identifiers are never "cleaned"
    EXPECT_EQ(doc["disks"][1]["rpm"], 5400);
    EXPECT_EQ(doc["disks"][1]["solid_state"], false);
    EXPECT_EQ(doc["battery"]["wear_percent"], 0.0);  // above design capacity
    EXPECT_EQ(doc["battery"]["cycle_count"], nullptr);
    EXPECT_EQ(doc["memory"]["modules"][0]["soldered"], true);
}

// Measured sizes keep a real 0 (a full disk has 0 bytes free); unmeasured ones are null.
TEST(SnapshotJson, StorageValues) {
    SystemSnapshot s;
    DiskInfo& disk = s.disks.emplace_back();
    PartitionInfo& p = disk.partitions.emplace_back();
    p.name = "sda1";
    p.content = {"ext4", "data", "0e9d", {"/data"}, {"dm-0"}};
    s.volumes = {{"/dev/sda1", "/data", "ext4", "sda1", false, VolumeUsage{4096, 4096, 0}},
                 {"nas:/x", "/mnt/nas", "nfs4", "", true, std::nullopt}};
    s.arrays = {{"md0", "raid1", 2, 1, "clean", {"sda2"}, 0, {}}};
    const Json doc = parse(s);
    EXPECT_EQ(doc["disks"][0]["partitions"][0]["label"], "data");
    EXPECT_EQ(doc["disks"][0]["partitions"][0]["start_bytes"], nullptr);
    EXPECT_EQ(doc["volumes"][0]["available_bytes"], 0);
    EXPECT_EQ(doc["volumes"][1]["size_bytes"], nullptr);
    EXPECT_EQ(doc["volumes"][1]["device"], nullptr);
    EXPECT_EQ(doc["volumes"][1]["read_only"], true);
    EXPECT_EQ(doc["arrays"][0]["active_devices"], 1);
    EXPECT_EQ(doc["arrays"][0]["degraded"], true);
}

// What can be 0 and known (no swap, a flat battery, no errors) is 0; words are fixed enumerations.
TEST(SnapshotJson, HealthValues) {
    SystemSnapshot s;
    s.swap_total = 0;
    s.kernel_taint = 4097;
    s.boot_mode = BootMode::Uefi;
    BatteryInfo& pack = s.batteries.emplace_back();
    pack.name = "BAT0";
    pack.charge_percent = 0;
    pack.status = "Not charging";
    pack.power_mw = 0;
    pack.serial = "SN1";
    s.device_batteries.push_back({"MX", "Logitech", std::nullopt, "Critical", ""});
    s.sensors.push_back({"nct6798", "nct6775.656", "fan2", SensorKind::Fan, 0, {}, {}, 300.0});
    MemoryModule& m = s.memory_modules.emplace_back();
    m.locator = "DIMM_A2";
    m.corrected_errors = 14;
    m.uncorrected_errors = 0;
    const Json doc = parse(s);
    EXPECT_EQ(doc["memory"]["swap_total_bytes"], 0);
    EXPECT_EQ(doc["system"]["kernel_taint"]["flags"], Json::array({"P", "O"}));
    EXPECT_EQ(doc["system"]["boot_mode"], "uefi");
    EXPECT_EQ(doc["batteries"][0]["charge_percent"], 0);
    EXPECT_EQ(doc["batteries"][0]["status"], "not_charging");
    EXPECT_EQ(doc["batteries"][0]["power_mw"], 0);
    EXPECT_EQ(doc["battery"]["serial"], "SN1");
    EXPECT_FALSE(doc["battery"].contains("status"));  // the first pack's old keys only
    EXPECT_EQ(doc["device_batteries"][0]["level"], "critical");
    EXPECT_EQ(doc["device_batteries"][0]["status"], nullptr);
    EXPECT_EQ(doc["sensors"][0]["kind"], "fan");
    EXPECT_EQ(doc["sensors"][0]["unit"], "rpm");
    EXPECT_EQ(doc["sensors"][0]["min"], 300.0);
    EXPECT_EQ(doc["sensors"][0]["disk"], nullptr);
    EXPECT_EQ(doc["memory"]["modules"][0]["corrected_errors"], 14);
    EXPECT_EQ(doc["memory"]["modules"][0]["uncorrected_errors"], 0);
    EXPECT_EQ(doc["attention"][0]["subject"], "DIMM_A2");
    EXPECT_EQ(doc["attention"][1]["kind"], "kernel_taint");
}

TEST(SnapshotJson, NoIntegerBeyondWhatEveryReaderHoldsExactly) {
    SystemSnapshot s;
    s.memory_installed = UINT64_MAX;  // a saturated sum
    s.memory_max_capacity = (std::uint64_t{1} << 53) - 1;
    s.memory_total = std::uint64_t{1} << 53;
    s.disks.emplace_back().size = UINT64_MAX - 5;
    const Json doc = parse(s);
    EXPECT_EQ(doc["memory"]["installed_bytes"], nullptr);
    EXPECT_EQ(doc["memory"]["max_capacity_bytes"], 9007199254740991u);
    EXPECT_EQ(doc["memory"]["available_bytes"], nullptr);
    EXPECT_EQ(doc["disks"][0]["size_bytes"], nullptr);
}

TEST(SnapshotJson, SanitizedIdentifiersAreNull) {
    SystemSnapshot s;
    s.hostname = "box1";
    s.ids.system_uuid = "4c4c4544-0050";
    NetAdapter& adapter = s.net_adapters.emplace_back();
    adapter.interface = "enp5s0";
    adapter.mac = "02:11:22:33:44:55";
    adapter.addresses = {{true, "2001:db8::1", 64}};
    const Json plain = parse(s);
    EXPECT_EQ(plain["network"][0]["addresses"][0]["address"], "2001:db8::1");
    EXPECT_EQ(plain["system"]["hostname"], "box1");
    EXPECT_EQ(plain["network"][0]["mac"], "02:11:22:33:44:55");
    EXPECT_EQ(plain["network"][0]["name"], "enp5s0");  // no database name
    const Json hidden = parse(sanitize_snapshot(s).snapshot, true);
    EXPECT_EQ(hidden["sanitized"], true);
    EXPECT_EQ(hidden["system"]["hostname"], nullptr);
    EXPECT_EQ(hidden["system"]["uuid"], nullptr);
    EXPECT_EQ(hidden["network"][0]["mac"], nullptr);
    EXPECT_EQ(hidden["network"][0]["addresses"][0],
              Json::parse(R"({"family":"ipv6","address":null,"prefix_length":null})"));
    EXPECT_EQ(hidden["network"][0]["interface"], "enp5s0");
    EXPECT_EQ(sanitize_snapshot(s).snapshot.hostname, "<hidden>");
}

}  // namespace
}  // namespace nadrel

// What needs attention: the kinds in their order, each subject once, the chip's own limits.
#include "core/attention.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

std::vector<std::string> texts(const SystemSnapshot& s) {
    std::vector<std::string> out;
    for (const AttentionItem& item : find_attention(s))
        out.push_back(item.kind + " " + item.subject + ": " + item.text);
    return out;
}

TEST(Attention, HealthyMachineHasNone) {
    SystemSnapshot s;
    s.sensors.push_back(
        {"coretemp", "coretemp.0", "Package id 0", SensorKind::Temperature, 79.9, 80.0, 100.0});
    s.kernel_taint = 1u << 10;  // a staging driver only
    s.cpu.vulnerabilities = {{"mds", "Mitigation: Clear CPU buffers; SMT vulnerable"}};
    BatteryInfo& b = s.batteries.emplace_back();
    b.design_mwh = 60000;
    b.full_mwh = 30031;  // 49.95 % worn: shown as 49.9
    EXPECT_EQ(texts(s), std::vector<std::string>{});
}

TEST(Attention, KindsInOrderEachSubjectOnce) {
    SystemSnapshot s;
    s.kernel_taint = 4097;
    BatteryInfo& b = s.batteries.emplace_back();
    b.name = "BAT1";
    b.design_mwh = 60000;
    b.full_mwh = 30029;  // 49.95 %: shown as 50.0, and counts
    s.cpu.vulnerabilities = {{"spectre_v2", "Vulnerable: eIBRS with unprivileged eBPF"}};
    s.memory_modules.resize(2);
    s.memory_modules[0].locator = "DIMM_A1";
    s.memory_modules[0].corrected_errors = 1;
    s.memory_modules[1].locator = "DIMM_A2";
    s.memory_modules[1].corrected_errors = 14;
    s.memory_modules[1].uncorrected_errors = 2;
    s.memory_edac = {{"mc1", "", 0, 1}};
    DiskInfo& sda = s.disks.emplace_back();
    sda.name = "sda";
    sda.temperature_c = 61;
    DiskInfo& nvme = s.disks.emplace_back();
    nvme.name = "nvme0n1";
    nvme.temperature_c = 82;
    Sensor drive{"drivetemp", "2:0:0:0", "temp1", SensorKind::Temperature, 61, 55.0, 60.0};
    drive.disk = "sda";
    Sensor composite{"nvme", "nvme0", "Composite", SensorKind::Temperature, 82, 81.85, 84.85};
    composite.disk = "nvme0n1";
    s.sensors = {drive,
                 composite,
                 {"nct6798", "nct6775.656", "in3", SensorKind::Voltage, 3.52, 3.5},
                 {"amdgpu", "0000:03:00.0", "junction", SensorKind::Temperature, 110, {}, 110.0}};
    EXPECT_EQ(
        texts(s),
        (std::vector<std::string>{
            // The NVMe drive is past its warning limit only: a sensor finding, about the disk.
            "sensor nvme0n1: Disk nvme0n1 Composite at 82°C (max 81.9°C)",
            "sensor nct6798 nct6775.656 in3: nct6798 in3 at 3.52V (max 3.50V)",
            "sensor amdgpu 0000:03:00.0 junction: amdgpu junction at 110°C (critical 110°C)",
            // The SATA drive is past its critical limit: one finding, not also a sensor one.
            "disk_temperature sda: Disk sda at 61°C (critical 60°C)",
            "memory_errors DIMM_A2: DIMM_A2: 2 uncorrected memory errors and 14 corrected",
            "memory_errors mc1: mc1: 1 uncorrected memory error",
            "memory_errors DIMM_A1: DIMM_A1: 1 corrected memory error",
            "vulnerability spectre_v2: CPU vulnerability Spectre v2: Vulnerable: eIBRS with "
            "unprivileged eBPF",
            "battery_wear BAT1: Battery BAT1 worn 50.0% (30.0Wh of 60.0Wh)",
            "kernel_taint kernel: Kernel tainted: P (proprietary module), O (out-of-tree "
            "module)",
        }));
}

}  // namespace
}  // namespace nadrel

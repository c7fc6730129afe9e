// Broken, hostile and oversized inputs: collection keeps its defaults and never fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "linux/collect/collect.h"
#include "linux/collect/cpu.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

const std::string cpu_dir = "sys/devices/system/cpu/";

TEST(Hostile, BrokenFilesLeaveDefaults) {
    test::TempDir t;
    t.write("proc/sys/kernel/hostname", "\xc3\x28\n");  // not UTF-8: replaced
    t.write("etc/hostname", "  \n");
    t.write("etc/os-release", std::string(300, 'P') + "\nPRETTY_NAME");
    t.mkdir("proc/meminfo");  // a folder where a file should be
    t.write("proc/cpuinfo",
            "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 15"
            "4\nphysical id\t: 0\ncore id\t\t: 0\n\nprocessor\t: 1\nphysical id\t: 0\nco");
    t.write(cpu_dir + "cpu0/cache/index0/level", "1\n");
    t.write(cpu_dir + "cpu0/cache/index0/size", "12Q\n");
    t.write(cpu_dir + "cpu0/cache/index0/ways_of_associativity", "-8\n");
    t.write(cpu_dir + "cpu0/cache/index1/level", "\xff\n");  // unreadable: skipped, not the end
    t.write(cpu_dir + "cpu0/cache/index2/level", "2\n");
    t.write(cpu_dir + "cpu0/cache/index2/size", "99999999999K\n");
    t.write(cpu_dir + "cpu0/cpufreq/base_frequency", "-1\n");
    t.write(cpu_dir + "cpu0/cpufreq/cpuinfo_max_freq", "18446744073709551615\n");
    t.write(cpu_dir + "types/intel_core/cpulist", "7-3,x,,-\n");
    t.write(cpu_dir + "types/intel_atom/cpulist", "0\n");
    t.symlink("sys/class/power_supply/loop", "loop");  // a link to itself
    t.write("sys/class/power_supply/BAT0/type", "Battery\n");
    t.write("sys/class/power_supply/BAT0/charge_full_design", "-5000000\n");
    t.write("sys/class/power_supply/BAT0/voltage_min_design", "7600000\n");
    t.write("sys/class/power_supply/BAT0/manufacture_year", "99999999999999999999\n");
    t.write("sys/class/dmi/id/chassis_type", "\xff\n");
    const std::string fifo = t.path() + "/proc/sys/kernel/osrelease";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // must not block the reader

    const SystemSnapshot s = collect_snapshot(SysRoot(t.path()));
    EXPECT_EQ(s.hostname, "\uFFFD(");
    EXPECT_EQ(s.os_name, "Linux");
    EXPECT_EQ(s.kernel, "");
    EXPECT_EQ(s.memory_total, 0u);
    EXPECT_EQ(s.cpu.model, "Unknown processor");
    EXPECT_EQ(s.cpu.model_number, 154u);
    EXPECT_EQ(s.cpu.threads, 2u);
    EXPECT_EQ(s.cpu.cores, 1u);  // the cut-off block has no core id
    ASSERT_EQ(s.cpu.caches.size(), 2u);
    EXPECT_EQ(s.cpu.caches[0].size, 0u);
    EXPECT_EQ(s.cpu.caches[0].ways, 0u);
    EXPECT_EQ(s.cpu.caches[1].size, 0u);
    EXPECT_EQ(s.cpu.p_cores, 0u);
    EXPECT_EQ(s.cpu.e_cores, 0u);
    EXPECT_EQ(s.cpu.base_mhz, 0u);
    EXPECT_EQ(s.cpu.max_mhz, UINT32_MAX);  // saturates rather than wraps
    ASSERT_EQ(s.batteries.size(), 1u);
    EXPECT_EQ(s.batteries[0].design_mwh, 0u);
    EXPECT_EQ(s.batteries[0].manufactured, "");
    EXPECT_EQ(s.chassis, "");
}

TEST(Hostile, OneBadByteCostsOneCharacterNotTheFile) {
    test::TempDir t;
    t.write("proc/cpuinfo",
            "processor : 0\nvendor_id : Genuine\xae\nmodel name : Caf\xe9 \xae CPU\n");
    const CpuInfo c = collect_cpu(SysRoot(t.path()));
    EXPECT_EQ(c.model, "Caf\uFFFD \uFFFD CPU");
    EXPECT_EQ(c.vendor_id, "Genuine\uFFFD");
    EXPECT_EQ(c.threads, 1u);
}

TEST(Hostile, ServerSizedCpuinfoIsRead) {
    // A 1024-thread server's cpuinfo is about 2 MB; it must fit the reader's limit.
    std::string text;
    const std::string flags(1500, 'f');
    for (int i = 0; i < 1024; ++i) {
        text += "processor\t: " + std::to_string(i) +
                "\nvendor_id\t: AuthenticAMD\nmodel name\t: AMD EPYC 9754 128-Core Processor\n"
                "physical id\t: " +
                std::to_string(i / 256) + "\ncore id\t\t: " + std::to_string(i % 128) +
                "\nflags\t\t: " + flags + " avx2\n\n";
    }
    ASSERT_GT(text.size(), 1600000u);
    test::TempDir t;
    t.write("proc/cpuinfo", text);
    const CpuInfo c = collect_cpu(SysRoot(t.path()));
    EXPECT_EQ(c.threads, 1024u);
    EXPECT_EQ(c.cores, 512u);
    EXPECT_EQ(c.model, "AMD EPYC 9754 128-Core Processor");
}

}  // namespace
}  // namespace nadrel

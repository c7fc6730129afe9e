// Processor identification: the cpuinfo rules, the cache scan, the hybrid split and clocks.
#include "linux/collect/cpu.h"

#include <gtest/gtest.h>

#include "linux/collect/cpu_caches.h"
#include "linux/collect/cpuinfo.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

const std::string cpu_dir = "sys/devices/system/cpu/";

TEST(Cpuinfo, KeyValueMatchesTheWholeTrimmedKey) {
    EXPECT_EQ(key_value("model\t\t: 154", "model"), "154");
    EXPECT_EQ(key_value("model name\t: Intel", "model"), std::nullopt);
    EXPECT_EQ(key_value("  model  :  x : y  ", "model"), "x : y");
    EXPECT_EQ(key_value("model", "model"), std::nullopt);
    EXPECT_EQ(key_value("model:", "model"), "");
    CpuInfo cpu;  // the first value of a key counts, unless empty; a carriage return is not in it
    apply_cpuinfo("\n\nmodel name : \r\nmodel name : A\r\nmodel : 7\n\nmodel : 8\n\n", cpu);
    EXPECT_EQ(cpu.model, "A");
    EXPECT_EQ(cpu.model_number, 7u);
    EXPECT_EQ(cpu.stepping, 0u);
}

TEST(Cpuinfo, BrandStringFallbacks) {
    for (const auto& [text, model] : std::vector<std::pair<std::string, std::string>>{
             {"processor : 0\nmodel name : Intel(R) Core(TM)  i5\nHardware : X\n",
              "Intel(R) Core(TM) i5"},
             // Arm cores by implementer and part, distinct ones in CPU order; an unknown part
             // is left out, and only without any known part do board names stand in.
             {"processor : 0\nCPU implementer : 0x41\nCPU part : 0xd46\n\nprocessor : 1\n"
              "CPU implementer : 0x41\nCPU part : 0xd4e\n\nprocessor : 2\nCPU implementer : "
              "0x41\nCPU part : 0xd46\n\nprocessor : 3\nCPU implementer : 0x41\nCPU part : "
              "0xfff\nHardware : X\n",
              "Cortex-A510 + Cortex-X3"},
             {"processor : 0\nmodel name : ARMv7 Processor rev 10 (v7l)\nCPU implementer : "
              "0x41\nCPU part : 0xd08\nModel : Raspberry Pi 4\n",
              "Cortex-A72"},
             {"processor : 0\nmodel name : ARMv7 Processor rev 10 (v7l)\nCPU implementer : "
              "0x41\nCPU part : 0xfff\n",
              "ARMv7 Processor rev 10 (v7l)"},
             {"processor : 0\nmodel name : ARMv6-compatible processor rev 7 (v6l)\n"
              "CPU implementer : 0x41\nCPU part : 0xb76\n",
              "ARM1176"},
             {"processor : 0\nCPU implementer : 0x48\nCPU part : 0x0d01\n", "Kunpeng-920"},
             {"processor : 0\nCPU implementer : 0x51\nCPU part : 0xd46\nHardware : Q\n", "Q"},
             {"processor : 0\nModel : Raspberry Pi 4\nHardware : BCM2835\n", "Raspberry Pi 4"},
             {"Processor : ARMv7\nHardware : BCM2835\n", "BCM2835"},
             {"processor : 0\nmodel : 3\n", "Unknown processor"},
             {"", "Unknown processor"}}) {
        CpuInfo c;
        apply_cpuinfo(text, c);
        EXPECT_EQ(c.model, model) << text;
    }
}

TEST(Cpuinfo, CoresThreadsAndIdentity) {
    // Two sockets' worth of blocks; the same (physical id, core id) pair twice is one core.
    const std::string text =
        "processor\t: 0\nvendor_id\t: GenuineIntel\ncpu family\t: 6\nmodel\t\t: 154\n"
        "model name\t: 12th Gen Intel(R) Core(TM) i7-1280P\nstepping\t: 3\n"
        "cpu MHz\t\t: 2400.499\nphysical id\t: 0\ncore id\t\t: 0\n"
        "flags\t\t: fpu vmx sse4_2 avx2 avx512f svm sha_ni aes\n\n"
        "processor\t: 1\nphysical id\t: 0\ncore id\t\t: 0\ncpu MHz\t\t: 4700.5\n\n"
        "processor\t: 2\nphysical id\t: 0\ncore id\t\t: 1\n\n"
        "processor\t: 3\nphysical id\t: 1\ncore id\t\t: 0\ncpu MHz : fast\n\n"
        "processor\t: 4\ncore id\t\t: 7\n\n"   // no physical id: not counted
        "processor\t: 5\nphysical id\t: 1\n";  // cut off mid-block
    CpuInfo c;
    apply_cpuinfo(text, c);
    EXPECT_EQ(c.cores, 3u);
    EXPECT_EQ(c.threads, 6u);
    EXPECT_EQ(c.vendor_id, "GenuineIntel");
    EXPECT_EQ(c.family, 6u);
    EXPECT_EQ(c.model_number, 154u);
    EXPECT_EQ(c.stepping, 3u);
    EXPECT_EQ(c.features, (std::vector<std::string>{"VT-x", "SSE4.2", "AES-NI", "AVX2", "AVX-512F",
                                                    "SHA", "AMD-V"}));
    EXPECT_EQ(cpuinfo_max_mhz(text), 4701u);

    CpuInfo vm;  // no physical id lines: one core per processor line
    apply_cpuinfo("processor : 0\nmodel : +x\n\nprocessor : 1\ncpu family : 4294967296\n", vm);
    EXPECT_EQ(vm.cores, 2u);
    EXPECT_EQ(vm.threads, 2u);
    EXPECT_EQ(vm.model_number, 0u);
    EXPECT_EQ(vm.family, 0u);
    EXPECT_FALSE(vm.vendor_id);
    EXPECT_TRUE(vm.features.empty());

    CpuInfo none;
    apply_cpuinfo("Hardware : X\n", none);
    EXPECT_EQ(none.cores, 1u);
    EXPECT_EQ(none.threads, 0u);
    EXPECT_EQ(cpuinfo_max_mhz("cpu MHz : -5\ncpu MHz : inf\ncpu MHz : 1e3\n"), 0u);
    EXPECT_EQ(cpuinfo_max_mhz("cpu MHz : 99999999999.0\n"), UINT32_MAX);
}

TEST(CpuCaches, SizeSuffixes) {
    for (const auto& [text, size] :
         std::vector<std::pair<std::string, std::uint32_t>>{{"32K", 32768},
                                                            {"1M", 1048576},
                                                            {"512", 512},
                                                            {" +48K ", 49152},
                                                            {"12Q", 0},
                                                            {"K", 0},
                                                            {"-1K", 0},
                                                            {"1 K", 0},
                                                            {"4096M", 0},  // does not fit 32 bits
                                                            {"4194303K", 4294966272u},
                                                            {"", 0}}) {
        EXPECT_EQ(parse_cache_size(text), size) << text;
    }
}

TEST(CpuCaches, CpuListSyntax) {
    using V = std::vector<std::uint32_t>;
    EXPECT_EQ(parse_cpu_list("0-3,8,10-11"), (V{0, 1, 2, 3, 8, 10, 11}));
    EXPECT_EQ(parse_cpu_list("7-3,x,5"), (V{5}));
    EXPECT_EQ(parse_cpu_list(""), V{});
    EXPECT_EQ(parse_cpu_list("-1,2-,3-3"), (V{3}));
    EXPECT_EQ(parse_cpu_list("0-4294967295").size(), 8192u);  // bounded, not endless
    // Repeats and overlaps name each CPU once; a thousand full ranges cost one set.
    EXPECT_EQ(parse_cpu_list("3,1-3,2,8191,8192"), (V{1, 2, 3, 8191}));
    std::string many;
    for (int i = 0; i < 1000; ++i)
        many += "0-8191,";
    EXPECT_EQ(parse_cpu_set(many).count(), 8192u);
}

void write_cache(const test::TempDir& t, int cpu, int index, const std::string& level,
                 const std::string& type, const std::string& size, const std::string& id) {
    const std::string dir =
        cpu_dir + "cpu" + std::to_string(cpu) + "/cache/index" + std::to_string(index) + "/";
    t.write(dir + "level", level);
    if (!type.empty())
        t.write(dir + "type", type);
    t.write(dir + "size", size);
    if (!id.empty())
        t.write(dir + "id", id);
    t.write(dir + "coherency_line_size", "64\n");
    t.write(dir + "ways_of_associativity", "8\n");
}

TEST(CpuCaches, InstancesFoldIntoGeometries) {
    test::TempDir t;
    for (int cpu = 0; cpu < 8; ++cpu) {
        write_cache(t, cpu, 0, "1\n", "Data\n", "48K\n", std::to_string(cpu));
        // Eight per-core 1 MiB L2 caches, one of them reported by two CPUs' ids.
        write_cache(t, cpu, 1, "2\n", "Unified\n", "1M\n", std::to_string(cpu));
        write_cache(t, cpu, 2, "3\n", "Unified\n", "24M\n", "0");
    }
    write_cache(t, 8, 0, "1\n", "Data\n", "48K\n", "8");
    write_cache(t, 8, 1, "2\n", "Unified\n", "1M\n", "7");   // shares core 7's L2
    write_cache(t, 8, 2, "x\n", "Unified\n", "24M\n", "9");  // unparsable level: skipped
    write_cache(t, 8, 3, "3\n", "", "2M\n", "");             // no type, no id
    const SysRoot root(t.path());
    CpuInfo c;
    collect_caches(root, cpu_numbers(root), c);
    ASSERT_EQ(c.caches.size(), 4u);
    EXPECT_EQ(c.caches[0].cache_type, "Data");
    EXPECT_EQ(c.caches[0].count, 9u);
    EXPECT_EQ(c.caches[1].level, 2);
    EXPECT_EQ(c.caches[1].count, 8u);
    EXPECT_EQ(c.caches[1].size, 1048576u);
    EXPECT_EQ(c.caches[1].line_size, 64u);
    EXPECT_EQ(c.caches[1].ways, 8u);
    EXPECT_EQ(c.caches[2].size, 24u << 20);
    EXPECT_EQ(c.caches[2].count, 1u);
    EXPECT_EQ(c.caches[3].cache_type, "Unified");
    EXPECT_EQ(c.caches[3].size, 2u << 20);
    EXPECT_EQ(c.l1_total, 9u * 49152);
    EXPECT_EQ(c.l2_total, 8u << 20);
    EXPECT_EQ(c.l3_total, 26u << 20);
}

TEST(CpuCaches, Cpu0DecidesAndMissingLevelEndsACpu) {
    test::TempDir t;
    write_cache(t, 1, 0, "2\n", "Unified\n", "1M\n", "1");
    t.mkdir(cpu_dir + "cpu0");
    const SysRoot root(t.path());
    CpuInfo c;
    collect_caches(root, cpu_numbers(root), c);
    EXPECT_TRUE(c.caches.empty());
    EXPECT_EQ(c.l2_total, 0u);

    // A missing level file ends that CPU's scan; later indices are not read.
    write_cache(t, 0, 1, "1\n", "Data\n", "32K\n", "0");
    t.mkdir(cpu_dir + "cpu0/cache/index0");
    collect_caches(root, cpu_numbers(root), c);
    ASSERT_EQ(c.caches.size(), 1u);
    EXPECT_EQ(c.caches[0].level, 2);
}

TEST(CpuCaches, LevelTotalsSaturate) {
    std::vector<CacheInfo> caches = {{"Unified", 3, 3, 2000000000u, 0, 0},
                                     {"Unified", 3, 1, 1, 0, 0},
                                     {"Unified", 2, 2, 1000, 0, 0}};
    EXPECT_EQ(cache_level_total(caches, 3), UINT32_MAX);
    EXPECT_EQ(cache_level_total(caches, 2), 2000u);
    EXPECT_EQ(cache_level_total(caches, 1), 0u);
    std::vector<CacheInfo> folded;
    add_cache_instance(folded, {"Data", 1, 0, 100, 0, 0});
    add_cache_instance(folded, {"Data", 1, 0, 100, 0, 0});
    add_cache_instance(folded, {"Data", 1, 0, 100, 0, 4});
    ASSERT_EQ(folded.size(), 2u);
    EXPECT_EQ(folded[0].count, 2u);
    EXPECT_EQ(folded[1].count, 1u);
}

void write_topology(const test::TempDir& t, int cpu, const std::string& siblings) {
    t.write(cpu_dir + "cpu" + std::to_string(cpu) + "/topology/core_cpus_list", siblings + "\n");
}

TEST(CpuHybrid, SplitFromTypesOrPmuLists) {
    test::TempDir t;
    // Two P-cores with two threads each (0-1, 2-3), four E-cores (4..7).
    for (int c = 0; c < 4; ++c)
        write_topology(t, c, c < 2 ? "0-1" : "2-3");
    for (int c = 4; c < 7; ++c)
        write_topology(t, c, std::to_string(c));  // cpu7: no file
    const SysRoot root(t.path());
    EXPECT_EQ(collect_cpu(root).p_cores, 0u);
    t.write(cpu_dir + "types/intel_core/cpulist", "0-3\n");
    EXPECT_EQ(collect_cpu(root).p_cores, 0u);  // no atom list: not hybrid
    t.write("sys/devices/cpu_atom/cpus", "4-7\n");
    CpuInfo c = collect_cpu(root);
    EXPECT_EQ(c.p_cores, 2u);
    EXPECT_EQ(c.e_cores, 4u);
    t.write(cpu_dir + "types/intel_atom/cpulist", "4-5,x\n");  // types win over the PMU
    c = collect_cpu(root);
    EXPECT_EQ(c.p_cores, 2u);
    EXPECT_EQ(c.e_cores, 2u);
    t.write(cpu_dir + "types/intel_atom/cpulist", "7-3\n");
    EXPECT_EQ(collect_cpu(root).e_cores, 0u);

    // A split that exceeds the physical count contradicts it and goes: 6P + 4E against one
    // core id over many blocks, and lists of every possible CPU against 10 cores.
    t.write(cpu_dir + "types/intel_atom/cpulist", "4-7\n");
    std::string one_core;
    for (int i = 0; i < 40; ++i)
        one_core += "processor : " + std::to_string(i) + "\nphysical id : 0\ncore id : 0\n\n";
    t.write("proc/cpuinfo", one_core);
    c = collect_cpu(root);
    EXPECT_EQ(c.cores, 1u);
    EXPECT_EQ(c.p_cores + c.e_cores, 0u);
    std::string ten_cores;
    for (int i = 0; i < 10; ++i)
        ten_cores +=
            "processor : " + std::to_string(i) + "\ncore id : " + std::to_string(i) + "\n\n";
    t.write("proc/cpuinfo", ten_cores);
    EXPECT_EQ(collect_cpu(root).p_cores, 2u);  // 2P + 4E fit in 10
    t.write(cpu_dir + "types/intel_core/cpulist", "0-4294967295\n");
    t.write(cpu_dir + "types/intel_atom/cpulist", "0-4294967295\n");
    c = collect_cpu(root);
    EXPECT_EQ(c.cores, 10u);
    EXPECT_EQ(c.p_cores + c.e_cores, 0u);
}

TEST(CpuClocks, CurrentFromSysfsElseCpuinfo) {
    test::TempDir t;
    t.write("proc/cpuinfo", "processor : 0\ncpu MHz : 1999.5\n\nprocessor : 1\ncpu MHz : 800\n");
    t.write(cpu_dir + "cpu0/cpufreq/base_frequency", "2100000\n");
    t.write(cpu_dir + "cpu0/cpufreq/cpuinfo_max_freq", "4900000\n");
    const SysRoot root(t.path());
    CpuInfo c = collect_cpu(root);
    EXPECT_EQ(c.base_mhz, 2100u);
    EXPECT_EQ(c.max_mhz, 4900u);
    EXPECT_EQ(c.current_mhz, 2000u);
    // cpu1 alone does not count when cpu0 has no reading.
    t.write(cpu_dir + "cpu1/cpufreq/scaling_cur_freq", "3000000\n");
    EXPECT_EQ(collect_cpu(root).current_mhz, 2000u);
    t.write(cpu_dir + "cpu0/cpufreq/scaling_cur_freq", "1200000\n");
    t.mkdir(cpu_dir + "cpu2");  // no cpufreq: skipped
    t.write(cpu_dir + "cpu3/cpufreq/scaling_cur_freq", "3500999\n");
    EXPECT_EQ(collect_cpu(root).current_mhz, 3500u);
}

TEST(CpuClocks, RangeOverAllCpusPolicyAndVulnerabilities) {
    test::TempDir t;
    t.write("proc/cpuinfo", "processor : 0\nmicrocode : 0x2c\n\nprocessor : 1\nmicrocode : 0x2d\n");
    t.write(cpu_dir + "online", "0-1\n");
    t.write(cpu_dir + "cpu0/cpufreq/cpuinfo_max_freq", "5000000\n");
    t.write(cpu_dir + "cpu0/cpufreq/cpuinfo_min_freq", "800000\n");
    t.write(cpu_dir + "cpu0/cpufreq/scaling_driver", "acpi-cpufreq\n");
    t.write(cpu_dir + "cpu0/cpufreq/scaling_governor", "schedutil\n");
    t.write(cpu_dir + "cpu1/cpufreq/cpuinfo_max_freq", "5200000\n");  // a favoured core
    t.write(cpu_dir + "cpu1/cpufreq/cpuinfo_min_freq", "400000\n");
    const std::string v = cpu_dir + "vulnerabilities/";
    t.write(v + "retbleed", "Vulnerable\n");
    t.write(v + "mds", "Mitigation: Clear CPU buffers\nsecond line\n");
    t.write(v + "bogus", std::string("\0\x01\x02", 3));  // binary: nothing to show
    t.write(v + "empty", "\n");
    const CpuInfo c = collect_cpu(SysRoot(t.path()));
    EXPECT_EQ(c.max_mhz, 5200u);
    EXPECT_EQ(c.min_mhz, 400u);
    EXPECT_EQ(c.scaling_driver, "acpi-cpufreq");
    EXPECT_EQ(c.governor, "schedutil");
    EXPECT_EQ(c.microcode, "0x2c");
    ASSERT_EQ(c.vulnerabilities.size(), 2u);
    EXPECT_EQ(c.vulnerabilities[0].name, "mds");
    EXPECT_EQ(c.vulnerabilities[0].status, "Mitigation: Clear CPU buffers");
    EXPECT_EQ(c.vulnerabilities[1].name, "retbleed");
}

}  // namespace
}  // namespace nadrel

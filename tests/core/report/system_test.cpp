// SYSTEM and CPU rows from constructed snapshots, in summary and detail form.
#include <gtest/gtest.h>

#include "core/ids/cpu_codename.h"
#include "core/report/builder.h"
#include "core/report/sections.h"
#include "support/rows.h"

namespace nadrel {
namespace {

using test::rows_text;

TEST(SystemRows, BuildAndInstallDateOnlyInDetail) {
    SystemSnapshot s;
    s.hostname = "box(R)";
    s.os_name = "Debian GNU/Linux 12 (bookworm)";
    s.kernel = "(kernel 6.1.0-18-amd64)";
    s.os_installed = "2024-02-29";
    EXPECT_EQ(rows_text(system_rows(s, false)),
              "  Name              : box\n"
              "  Operating system  : Debian GNU/Linux 12 (bookworm)\n");
    EXPECT_EQ(rows_text(system_rows(s, true)),
              "  Name              : box\n"
              "  Operating system  : Debian GNU/Linux 12 (bookworm)\n"
              "  Build             : kernel 6.1.0-18-amd64\n"
              "  OS installed      : 2024-02-29\n");
    s.kernel = "()";
    s.os_installed.clear();
    EXPECT_EQ(system_rows(s, true).size(), 2u);
    s.virtual_machine = "QEMU";
    EXPECT_EQ(rows_text(system_rows(s, false)),
              "  Name              : box\n"
              "  Operating system  : Debian GNU/Linux 12 (bookworm)\n"
              "  Virtual machine   : QEMU\n");
}

CpuInfo raptor_lake() {
    CpuInfo c;
    c.model = "13th Gen Intel(R) Core(TM) i7-13700K";
    c.vendor_id = "GenuineIntel";
    c.family = 6;
    c.model_number = 0xB7;
    c.stepping = 1;
    c.cores = 16;
    c.threads = 24;
    c.p_cores = 8;
    c.e_cores = 8;
    c.base_mhz = 3400;
    c.max_mhz = 5400;
    c.caches = {{"Data", 1, 16, 49152, 64, 12},
                {"Instruction", 1, 16, 32768, 64, 8},
                {"Unified", 2, 8, 2097152, 64, 16},
                {"Unified", 2, 2, 4194304, 64, 16},
                {"Unified", 3, 1, 31457280, 64, 12}};
    c.l1_total = 16 * 49152 + 16 * 32768;
    c.l2_total = 8 * 2097152 + 2 * 4194304;
    c.l3_total = 31457280;
    c.features = {"VT-x", "AVX2", "SHA"};
    return c;
}

TEST(CpuRows, SummaryAndDetail) {
    SystemSnapshot s;
    s.cpu = raptor_lake();
    EXPECT_EQ(rows_text(cpu_rows(s, false)),
              "  Model             : 13th Gen Intel Core i7-13700K\n"
              "  Process           : Intel 7\n"
              "  Cores / threads   : 16 physical (8P + 8E) / 24 logical\n"
              "  Cache             : L1 1.25MB  /  L2 24MB  /  L3 30MB\n"
              "  Base clock        : 3400MHz\n"
              "  Boost clock       : 5400MHz\n");
    EXPECT_EQ(rows_text(cpu_rows(s, true)),
              "  Model             : 13th Gen Intel Core i7-13700K\n"
              "  Codename          : Raptor Lake\n"
              "  Process           : Intel 7\n"
              "  Vendor            : GenuineIntel\n"
              "  Signature         : Family 6, Model 183 (0xB7), Stepping 1\n"
              "  Cores / threads   : 16 physical (8P + 8E) / 24 logical\n"
              "  Cache\n"
              "  \u2502 L1 Data         : 16 x 48KB (12-way, 64B line)\n"
              "  \u2502 L1 Instruction  : 16 x 32KB (8-way, 64B line)\n"
              "  \u2502 L2 Unified      : 8 x 2MB (16-way, 64B line)\n"
              "  \u2502 L2 Unified      : 2 x 4MB (16-way, 64B line)\n"
              "  \u2502 L3 Unified      : 30MB (12-way, 64B line)\n"
              "  Base clock        : 3400MHz\n"
              "  Boost clock       : 5400MHz\n"
              "  Instructions      : VT-x, AVX2, SHA\n");
}

TEST(CpuRows, ConditionalRows) {
    SystemSnapshot s;
    s.cpu.model = "AMD Ryzen 9 7950X";
    s.cpu.vendor_id = "AuthenticAMD";
    s.cpu.family = 25;
    s.cpu.model_number = 97;
    s.cpu.cores = 16;
    s.cpu.threads = 32;
    s.cpu.p_cores = 16;  // one kind only: no split shown
    s.cpu.base_mhz = 4500;
    s.cpu.max_mhz = 4500;  // not above base: no boost row
    s.cpu.l2_total = 16 << 20;
    EXPECT_EQ(rows_text(cpu_rows(s, false)),
              "  Model             : AMD Ryzen 9 7950X\n"
              "  Process           : TSMC N5\n"
              "  Cores / threads   : 16 physical / 32 logical\n"
              "  Cache             : L2 16MB\n"
              "  Base clock        : 4500MHz\n");
    // Without cache entries detail falls back to the level totals.
    EXPECT_EQ(rows_text(cpu_rows(s, true)),
              "  Model             : AMD Ryzen 9 7950X\n"
              "  Codename          : Raphael (Zen 4)\n"
              "  Process           : TSMC N5\n"
              "  Vendor            : AuthenticAMD\n"
              "  Signature         : Family 25, Model 97 (0x61), Stepping 0\n"
              "  Cores / threads   : 16 physical / 32 logical\n"
              "  Cache             : L2 16MB\n"
              "  Base clock        : 4500MHz\n");

    SystemSnapshot arm;
    arm.cpu.model = "BCM2835";
    arm.cpu.max_mhz = 1500;
    arm.cpu.caches = {{"Data", 1, 1, 32768, 0, 0}, {"Unified", 2, 1, 524288, 64, 0}};
    EXPECT_EQ(rows_text(cpu_rows(arm, true)),
              "  Model             : BCM2835\n"
              "  Cache\n"
              "  \u2502 L1 Data         : 32KB\n"
              "  \u2502 L2 Unified      : 512KB (64B line)\n"
              "  Boost clock       : 1500MHz\n");

    SystemSnapshot odd;
    odd.cpu.model = "Mystery";
    odd.cpu.vendor_id = "CentaurHauls";
    odd.cpu.threads = 1;
    EXPECT_EQ(rows_text(cpu_rows(odd, true)),
              "  Model             : Mystery\n"
              "  Vendor            : CentaurHauls\n"
              "  Signature         : Family 0, Model 0 (0x0), Stepping 0\n"
              "  Cores / threads   : 0 physical / 1 logical\n");
}

TEST(CpuCodename, FirstMatchByExactVendor) {
    using Codename = CpuCodename;
    EXPECT_EQ(cpu_codename("GenuineIntel", 6, 0xB7), Codename("Raptor Lake", "Intel 7"));
    EXPECT_EQ(cpu_codename("GenuineIntel", 6, 0x8E), std::nullopt);
    EXPECT_EQ(cpu_codename("GenuineIntel", 6, 0x2A), Codename("Sandy Bridge", "Intel 32nm"));
    EXPECT_EQ(cpu_codename("GenuineIntel", 6, 0xDD), Codename("Clearwater Forest", "Intel 18A"));
    EXPECT_EQ(cpu_codename("GenuineIntel", 6, 0x8D), Codename("Tiger Lake", "Intel 10nm SuperFin"));
    EXPECT_EQ(cpu_codename("GenuineIntel", 6, 0xBD), Codename("Lunar Lake", "TSMC N3B"));
    EXPECT_EQ(cpu_codename("GenuineIntel", 7, 0xB7), std::nullopt);
    EXPECT_EQ(cpu_codename("AuthenticAMD", 23, 0x01),
              Codename("Zeppelin (Zen)", "GlobalFoundries 14nm"));
    EXPECT_EQ(cpu_codename("AuthenticAMD", 25, 0x44), Codename("Rembrandt (Zen 3+)", "TSMC N6"));
    EXPECT_EQ(cpu_codename("AuthenticAMD", 26, 0x44), Codename("Strix Halo (Zen 5)", "TSMC N4"));
    EXPECT_EQ(cpu_codename("AuthenticAMD", 6, 0xB7), std::nullopt);
    EXPECT_EQ(cpu_codename("GenuineIntel ", 6, 0xB7), std::nullopt);
    EXPECT_EQ(cpu_codename("genuineintel", 6, 0xB7), std::nullopt);
    EXPECT_EQ(cpu_codename("", 6, 0xB7), std::nullopt);
    EXPECT_EQ(cpu_codename("HygonGenuine", 24, 0), std::nullopt);
}

TEST(BuildReport, SectionOrderAndEmptySectionsDropped) {
    SystemSnapshot s;
    s.cpu.model = "X";
    GpuInfo g;
    g.name = "GPU";
    s.gpus.push_back(g);
    const Report r = build_report(s, false);
    std::vector<std::string> titles;
    for (const auto& section : r.sections)
        titles.push_back(section.title);
    // No adapters in the way of RAM; sections without rows vanish.
    ASSERT_GE(titles.size(), 4u);
    EXPECT_EQ(titles[0], "SYSTEM");
    EXPECT_EQ(titles[1], "CPU");
    EXPECT_EQ(titles[2], "RAM");
    EXPECT_EQ(titles[3], "GPU");
    EXPECT_EQ(r.sections[3].kind, SectionKind::Gpu);
    s.gpus.clear();
    for (const auto& section : build_report(s, true).sections)
        EXPECT_NE(section.title, "GPU");
}

// acpi-cpufreq reports the rated clock (or one MHz above it, its turbo marker) as the
// maximum: that is the base clock, not a boost.
TEST(CpuRows, MaximumAtTheRatedClockUnderAcpiCpufreq) {
    struct Case {
        const char* driver;
        std::uint32_t max_mhz;
        const char* label;
    } const cases[] = {
        {"acpi-cpufreq", 2667, "Base clock"},
        {"acpi-cpufreq", 2668, "Base clock"},
        {"acpi-cpufreq", 2801, "Boost clock"},
        {"intel_pstate", 2667, "Boost clock"},
        {"", 2670, "Boost clock"},
    };
    for (const Case& c : cases) {
        SystemSnapshot s;
        s.cpu.model = "Intel(R) Core(TM) i5 CPU       M 560  @ 2.67GHz";
        s.cpu.scaling_driver = c.driver;
        s.cpu.max_mhz = c.max_mhz;
        EXPECT_EQ(cpu_rows(s, false).back().text, c.label) << c.driver << c.max_mhz;
    }
    EXPECT_EQ(brand_rated_mhz("AMD Ryzen 9 7950X 16-Core Processor"), 0u);
    EXPECT_EQ(brand_rated_mhz("Intel(R) Pentium(R) 4 CPU 2.80GHz"), 0u);
    EXPECT_EQ(brand_rated_mhz("Intel(R) Core(TM)2 CPU 6600 @ 2.40GHz"), 2400u);
    EXPECT_EQ(brand_rated_mhz("Geode @ 500MHz"), 500u);
    EXPECT_EQ(brand_rated_mhz("x @ fastGHz"), 0u);
}

// A hypervisor may fake the model number; the code name stands only on a named model.
TEST(CpuRows, CodenameInAGuestOnlyWithANamedModel) {
    SystemSnapshot s;
    s.cpu.vendor_id = "AuthenticAMD";
    s.cpu.family = 26;
    s.cpu.model_number = 2;
    s.virtual_machine = "KVM";
    for (const auto& [brand, shown] : std::vector<std::pair<std::string, bool>>{
             {"AMD Ryzen 7 9700X 8-Core Processor", true},
             {"AMD EPYC", false},
             {"AMD EPYC-Rome Processor", false},
             {"QEMU Virtual CPU version 2.5+", false},
             {"Common KVM processor", false},
             {"Intel(R) Xeon(R) CPU @ 2.20GHz", false},
             {"Intel Xeon Processor (Skylake, IBRS)", false},
             {"Intel(R) Xeon(R) Gold 6248 CPU @ 2.50GHz", true},
             {"12th Gen Intel(R) Core(TM) i5-12600K", true}}) {
        s.cpu.model = brand;
        EXPECT_EQ(shown_cpu_codename(s.cpu, true).has_value(), shown) << brand;
        EXPECT_EQ(rows_text(cpu_rows(s, false)).find("  Process   ") != std::string::npos, shown)
            << brand;
    }
    s.cpu.model = "AMD EPYC";
    EXPECT_TRUE(shown_cpu_codename(s.cpu, false));  // on metal the model number is true
}

}  // namespace
}  // namespace nadrel

// The kernel's state files in words: memory in use, uptime, load, taint, vulnerabilities.
#include "core/text/kernel_state.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(KernelState, MemoryInUseAndSwap) {
    MemoryUse u = parse_memory_use(
        "MemTotal: 1000 kB\nMemAvailable: 250 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n");
    EXPECT_EQ(u.total, 1024000u);
    EXPECT_EQ(u.used, 768000u);
    EXPECT_EQ(u.swap_total, 0u);  // no swap is known, not unknown
    EXPECT_EQ(u.swap_used, 0u);
    // A lying file: more available than there is; no MemAvailable (kernels before 3.14).
    u = parse_memory_use("MemTotal: 10 kB\nMemAvailable: 20 kB\nSwapTotal: 5 kB\n");
    EXPECT_EQ(u.used, std::nullopt);
    EXPECT_EQ(u.swap_used, std::nullopt);
    u = parse_memory_use("MemTotal: lots kB\nMemAvailable: 20 kB\n");
    EXPECT_EQ(u.total, 0u);
    EXPECT_EQ(u.used, std::nullopt);
}

TEST(KernelState, UptimeAndLoad) {
    EXPECT_EQ(parse_uptime_seconds("273845.12 2109876.54\n"), 273845u);
    EXPECT_EQ(parse_uptime_seconds("0.99 1"), 0u);
    for (const char* bad : {"", "-5.0 1", "1e400 1", "12,5 1", "99999999999999999999 1"})
        EXPECT_EQ(parse_uptime_seconds(bad), std::nullopt) << bad;
    EXPECT_EQ(parse_load_average("0.52 0.58 0.59 1/467 12345\n"),
              (std::array<double, 3>{0.52, 0.58, 0.59}));
    for (const char* bad : {"0.52 0.58", "0.52 x 0.59 1/2 3", "0.5 0.5 1e9 1/2 3"})
        EXPECT_EQ(parse_load_average(bad), std::nullopt) << bad;
}

TEST(KernelState, TaintLettersAndWhatNeedsAttention) {
    EXPECT_EQ(taint_text(0), "none");
    EXPECT_EQ(taint_text(4097), "P (proprietary module), O (out-of-tree module)");
    EXPECT_EQ(taint_text(std::uint64_t{1} << 40), "undocumented flags");
    struct Case {
        std::uint64_t value;
        bool attention;
    } const cases[] = {
        {0, false},        {1, true},         // P
        {1u << 10, false},                    // C: a staging driver, loaded on purpose
        {1u << 15, false},                    // K: live patched
        {1u << 9, true},   {1u << 7, true},   // W, D
        {1u << 13, true},  {1u << 14, true},  // E, L
    };
    for (const Case& c : cases)
        EXPECT_EQ(taint_needs_attention(c.value), c.attention) << c.value;
}

TEST(KernelState, VulnerabilityNames) {
    EXPECT_EQ(vulnerability_name("spec_store_bypass"), "Spec store bypass");
    EXPECT_EQ(vulnerability_name("retbleed"), "Retbleed");
    EXPECT_EQ(vulnerability_name("itlb_multihit"), "iTLB multihit");
    EXPECT_EQ(vulnerability_name("mds"), "MDS");
    EXPECT_EQ(vulnerability_name(""), "");
    EXPECT_TRUE(is_vulnerable("Vulnerable"));
    EXPECT_TRUE(is_vulnerable("Vulnerable: eIBRS with unprivileged eBPF"));
    EXPECT_FALSE(is_vulnerable("Mitigation: Clear CPU buffers; SMT vulnerable"));
    EXPECT_FALSE(is_vulnerable("Unknown: No mitigations"));
    EXPECT_FALSE(is_vulnerable("Not affected"));
}

}  // namespace
}  // namespace nadrel

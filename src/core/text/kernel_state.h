// The kernel's state files in words: /proc/uptime, /proc/loadavg, the taint mask and the
// names of the processor vulnerabilities.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nadrel {

// What /proc/meminfo says of memory in use, in bytes.
struct MemoryUse {
    std::uint64_t total = 0;            // MemTotal; 0 when missing
    std::optional<std::uint64_t> used;  // MemTotal - MemAvailable
    std::optional<std::uint64_t> swap_total;
    std::optional<std::uint64_t> swap_used;  // SwapTotal - SwapFree
};
MemoryUse parse_memory_use(std::string_view meminfo);

// Whole seconds since boot, from the first field of /proc/uptime ("12345.67 45678.90").
std::optional<std::uint64_t> parse_uptime_seconds(std::string_view text);
// The three load averages of /proc/loadavg ("0.52 0.58 0.59 1/467 12345").
std::optional<std::array<double, 3>> parse_load_average(std::string_view text);

// One taint flag the kernel documents: its letter and what it means.
struct TaintFlag {
    char letter;
    std::string_view meaning;
};
// The documented flags set in a /proc/sys/kernel/tainted value, lowest bit first.
std::vector<TaintFlag> taint_flags(std::uint64_t value);
// "P (proprietary module), O (out-of-tree module)"; "none" for 0.
std::string taint_text(std::uint64_t value);
// Whether the taint says something a technician must look at: a proprietary, out-of-tree or
// unsigned module (the kernel's own developers will not debug it), or a fault: the kernel died
// (D), a machine check (M), a warning (W), a soft lockup (L) or a bad page (B).
bool taint_needs_attention(std::uint64_t value);

// A vulnerability file's name as words: "spec_store_bypass" gives "Spec store bypass", the
// acronyms stay upper case ("mds" gives "MDS").
std::string vulnerability_name(std::string_view file);
// A status counts as vulnerable when it starts with "Vulnerable" (mitigated and unaffected
// ones do not).
bool is_vulnerable(std::string_view status);

}  // namespace nadrel

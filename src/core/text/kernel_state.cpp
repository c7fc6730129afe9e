// The kernel's state files in words.
#include "core/text/kernel_state.h"

#include <charconv>
#include <cmath>

#include "core/text/fields.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

// A non-negative decimal fraction as the kernel prints it ("12345.67").
std::optional<double> parse_fraction(std::string_view text) {
    double v = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || v < 0)
        return std::nullopt;
    return v;
}

// Documentation/admin-guide/tainted-kernels.rst, bit by bit.
// clang-format off
constexpr TaintFlag taint_table[] = {
    {'P', "proprietary module"},
    {'F', "module force loaded"},
    {'S', "unsupported hardware"},
    {'R', "module force unloaded"},
    {'M', "machine check"},
    {'B', "bad page"},
    {'U', "user request"},
    {'D', "kernel died"},
    {'A', "ACPI table overridden"},
    {'W', "kernel warning"},
    {'C', "staging driver"},
    {'I', "firmware workaround"},
    {'O', "out-of-tree module"},
    {'E', "unsigned module"},
    {'L', "soft lockup"},
    {'K', "live patched"},
    {'X', "auxiliary taint"},
    {'T', "structure randomization"},
    {'N', "in-kernel test"},
    {'J', "fwctl debug operation"},
};
// clang-format on

// What is left of a total, none when the part is missing or larger (a lying file).
std::optional<std::uint64_t> remainder(std::optional<std::uint64_t> total,
                                       std::optional<std::uint64_t> part) {
    if (!total || !part || *part > *total)
        return std::nullopt;
    return *total - *part;
}

}  // namespace

MemoryUse parse_memory_use(std::string_view meminfo) {
    MemoryUse use;
    const auto total = meminfo_bytes(meminfo, "MemTotal");
    use.total = total.value_or(0);
    use.used = remainder(total, meminfo_bytes(meminfo, "MemAvailable"));
    use.swap_total = meminfo_bytes(meminfo, "SwapTotal");
    use.swap_used = remainder(use.swap_total, meminfo_bytes(meminfo, "SwapFree"));
    return use;
}

std::optional<std::uint64_t> parse_uptime_seconds(std::string_view text) {
    const auto fields = split_fields(text);
    if (fields.empty())
        return std::nullopt;
    const auto seconds = parse_fraction(fields[0]);
    // Beyond 2^53 seconds (285 million years) a double no longer counts whole seconds.
    if (!seconds || *seconds >= 9007199254740992.0)
        return std::nullopt;
    return static_cast<std::uint64_t>(*seconds);
}

std::optional<std::array<double, 3>> parse_load_average(std::string_view text) {
    const auto fields = split_fields(text);
    if (fields.size() < 3)
        return std::nullopt;
    std::array<double, 3> load{};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto v = parse_fraction(fields[i]);
        // The kernel's fixed-point averages stay far below a million.
        if (!v || *v > 1e6)
            return std::nullopt;
        load[i] = *v;
    }
    return load;
}

std::vector<TaintFlag> taint_flags(std::uint64_t value) {
    std::vector<TaintFlag> flags;
    for (std::size_t bit = 0; bit < std::size(taint_table); ++bit) {
        if ((value >> bit) & 1u)
            flags.push_back(taint_table[bit]);
    }
    return flags;
}

std::string taint_text(std::uint64_t value) {
    std::string text;
    for (const TaintFlag& flag : taint_flags(value)) {
        text += text.empty() ? "" : ", ";
        text += flag.letter;
        text += " (" + std::string(flag.meaning) + ")";
    }
    if (text.empty())
        return value == 0 ? "none" : "undocumented flags";
    return text;
}

bool taint_needs_attention(std::uint64_t value) {
    for (const TaintFlag& flag : taint_flags(value)) {
        if (std::string_view("POEDMWLB").find(flag.letter) != std::string_view::npos)
            return true;
    }
    return false;
}

std::string vulnerability_name(std::string_view file) {
    constexpr std::pair<std::string_view, std::string_view> acronyms[] = {
        {"mds", "MDS"},
        {"l1tf", "L1TF"},
        {"srbds", "SRBDS"},
        {"itlb_multihit", "iTLB multihit"},
        {"tsx_async_abort", "TSX async abort"},
        {"mmio_stale_data", "MMIO stale data"},
        {"its", "ITS"},
        {"tsa", "TSA"},
        {"vmscape", "VMScape"},
    };
    for (const auto& [name, words] : acronyms) {
        if (file == name)
            return std::string(words);
    }
    std::string words(file);
    for (char& c : words) {
        if (c == '_')
            c = ' ';
    }
    if (!words.empty() && words[0] >= 'a' && words[0] <= 'z')
        words[0] = static_cast<char>(words[0] - 'a' + 'A');
    return words;
}

bool is_vulnerable(std::string_view status) {
    return starts_with(trim(status), "Vulnerable");
}

}  // namespace nadrel

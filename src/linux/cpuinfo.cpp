// Processor facts from the /proc/cpuinfo text: brand string, identity numbers, core and thread
// counts and the notable instruction-set features.
#include "linux/cpuinfo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <utility>

#include "core/arm_parts.h"
#include "core/names.h"
#include "core/numbers.h"
#include "linux/sysroot.h"
#include "core/text_fields.h"
#include "core/unicode.h"

namespace nadrel {

namespace {

struct Feature {
    const char* name;
    const char* flag;
};

// Shown in this order.
constexpr Feature feature_table[] = {
    {"VT-x", "vmx"},
    {"FMA", "fma"},
    {"SSE4.2", "sse4_2"},
    {"AES-NI", "aes"},
    {"AVX", "avx"},
    {"F16C", "f16c"},
    {"RDRAND", "rdrand"},
    {"BMI1", "bmi1"},
    {"AVX2", "avx2"},
    {"BMI2", "bmi2"},
    {"TSX-RTM", "rtm"},
    {"AVX-512F", "avx512f"},
    {"AVX-512DQ", "avx512dq"},
    {"RDSEED", "rdseed"},
    {"ADX", "adx"},
    {"SHA", "sha_ni"},
    {"AVX-512BW", "avx512bw"},
    {"AVX-512VL", "avx512vl"},
    {"AVX-512VNNI", "avx512_vnni"},
    {"AMX-BF16", "amx_bf16"},
    {"AVX-512FP16", "avx512_fp16"},
    {"AMX-TILE", "amx_tile"},
    {"AMX-INT8", "amx_int8"},
    {"AVX-VNNI", "avx_vnni"},
    {"AMD-V", "svm"},
};

std::uint32_t parse_u32_or_zero(std::optional<std::string_view> text) {
    if (!text)
        return 0;
    const auto v = parse_u64(*text);
    if (!v || *v > std::numeric_limits<std::uint32_t>::max())
        return 0;
    return static_cast<std::uint32_t>(*v);
}

std::uint32_t count_processor_lines(const std::vector<std::string_view>& lines) {
    std::uint32_t n = 0;
    for (const auto line : lines) {
        if (line.starts_with("processor"))
            ++n;
    }
    return n;
}

// Distinct (physical id, core id) pairs, one per processor block that gives both.
std::uint32_t count_physical_cores(const std::vector<std::string_view>& lines) {
    std::set<std::pair<std::string_view, std::string_view>> pairs;
    std::optional<std::string_view> physical;
    std::optional<std::string_view> core;
    auto end_block = [&] {
        if (physical && core)
            pairs.emplace(*physical, *core);
        physical.reset();
        core.reset();
    };
    for (const auto line : lines) {
        if (line.empty()) {
            end_block();
            continue;
        }
        if (auto v = key_value(line, "physical id"))
            physical = v;
        if (auto v = key_value(line, "core id"))
            core = v;
    }
    end_block();
    if (!pairs.empty())
        return static_cast<std::uint32_t>(pairs.size());
    const std::uint32_t processors = count_processor_lines(lines);
    return processors != 0 ? processors : 1;
}

std::vector<std::string> feature_names(std::optional<std::string_view> flags) {
    std::vector<std::string> out;
    if (!flags)
        return out;
    std::set<std::string_view> words;
    std::string_view rest = *flags;
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            break;
        rest.remove_prefix(start);
        const std::size_t end = rest.find_first_of(" \t");
        words.insert(rest.substr(0, end));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end);
    }
    for (const auto& f : feature_table) {
        if (words.contains(f.flag))
            out.emplace_back(f.name);
    }
    return out;
}

}  // namespace

std::vector<std::string_view> cpuinfo_lines(std::string_view text) {
    return split_lines(trim(text));
}

std::optional<std::string_view> key_value(std::string_view line, std::string_view key) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    if (trim(line.substr(0, colon)) != key)
        return std::nullopt;
    return trim(line.substr(colon + 1));
}

std::optional<std::string_view> first_value(const std::vector<std::string_view>& lines,
                                            std::string_view key) {
    for (const auto line : lines) {
        if (auto v = key_value(line, key))
            return v;
    }
    return std::nullopt;
}

namespace {

std::string arm_core_names(const std::vector<std::string_view>& lines) {
    std::vector<std::string_view> names;
    std::optional<std::uint32_t> implementer;
    for (const auto line : lines) {
        if (const auto v = key_value(line, "CPU implementer")) {
            implementer = parse_hex32(*v);
        } else if (const auto part = key_value(line, "CPU part")) {
            const auto code = parse_hex32(*part);
            const auto name = implementer && code ? arm_part_name(*implementer, *code)
                                                  : std::nullopt;
            if (name && std::find(names.begin(), names.end(), *name) == names.end())
                names.push_back(*name);
        }
    }
    std::string out;
    for (const auto name : names)
        out += (out.empty() ? "" : " + ") + std::string(name);
    return out;
}

// 32-bit Arm kernels print "ARMv7 Processor rev 10 (v7l)" or "ARMv6-compatible processor
// rev 7 (v6l)": the architecture, not the core.
bool is_generic_arm_name(std::string_view name) {
    return starts_with(name, "ARMv") && contains(ascii_lower(name), " processor rev ");
}

// "model name", else the Arm cores by implementer and part ("Cortex-A510 + Cortex-X3"), else
// "Model" and "Hardware", which name the board rather than the processor.
std::string brand_string(const std::vector<std::string_view>& lines) {
    const auto model_name = first_value(lines, "model name");
    if (model_name && !is_generic_arm_name(*model_name))
        return collapse_spaces(*model_name);
    std::string cores = arm_core_names(lines);
    if (!cores.empty())
        return cores;
    if (model_name)
        return collapse_spaces(*model_name);
    for (const char* key : {"Model", "Hardware"}) {
        if (const auto v = first_value(lines, key))
            return collapse_spaces(*v);
    }
    return "Unknown processor";
}

}  // namespace

void apply_cpuinfo(std::string_view text, CpuInfo& cpu) {
    const auto lines = cpuinfo_lines(text);
    cpu.model = brand_string(lines);
    cpu.cores = count_physical_cores(lines);
    cpu.threads = count_processor_lines(lines);
    if (const auto vendor = first_value(lines, "vendor_id"))
        cpu.vendor_id = std::string(*vendor);
    cpu.family = parse_u32_or_zero(first_value(lines, "cpu family"));
    cpu.model_number = parse_u32_or_zero(first_value(lines, "model"));
    cpu.stepping = parse_u32_or_zero(first_value(lines, "stepping"));
    cpu.features = feature_names(first_value(lines, "flags"));
}

std::uint32_t cpuinfo_max_mhz(std::string_view text) {
    double best = 0;
    for (const auto line : cpuinfo_lines(text)) {
        auto v = key_value(line, "cpu MHz");
        if (!v || v->empty())
            continue;
        std::string_view digits = *v;
        if (digits.front() == '+')
            digits.remove_prefix(1);
        double mhz = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), mhz,
                                               std::chars_format::fixed);
        if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(mhz)) {
            continue;
        }
        if (mhz > best)
            best = mhz;
    }
    const double rounded = std::round(best);
    if (rounded >= 4294967295.0)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(rounded);
}

}  // namespace nadrel

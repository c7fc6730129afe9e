// Processor facts from the /proc/cpuinfo text: brand string, identity numbers, core and thread
// counts and the notable instruction-set features.
#include "linux/collect/cpuinfo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/ids/arm_parts.h"
#include "core/text/fields.h"
#include "core/text/names.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"
#include "linux/root/sysroot.h"

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

// More distinct cores than a kernel can have CPUs are a lie; stop counting there.
constexpr std::size_t max_cores = 8192;

// The features of the table that a flags line names, as a bit mask over the table; each word
// is compared, none is kept, so two million distinct flags cost no memory.
// Calls fn(flag) for each flag of a "flags" value, without building a list of them (a hostile
// line holds millions).
template <typename Fn>
void for_each_flag(std::string_view flags, Fn&& fn) {
    const auto blank = [&](std::size_t i) { return flags[i] == ' ' || flags[i] == '\t'; };
    std::size_t i = 0;
    while (i < flags.size()) {
        while (i < flags.size() && blank(i))
            ++i;
        const std::size_t start = i;
        while (i < flags.size() && !blank(i))
            ++i;
        if (i > start)
            fn(flags.substr(start, i - start));
    }
}

std::uint32_t feature_mask(std::string_view flags) {
    static_assert(std::size(feature_table) <= 32);
    std::unordered_map<std::string_view, std::uint32_t> bits;
    for (std::size_t i = 0; i < std::size(feature_table); ++i)
        bits.emplace(feature_table[i].flag, std::uint32_t{1} << i);
    std::uint32_t mask = 0;
    for_each_flag(flags, [&](std::string_view flag) {
        if (const auto bit = bits.find(flag); bit != bits.end())
            mask |= bit->second;
    });
    return mask;
}

bool has_flag(std::string_view flags, std::string_view wanted) {
    bool found = false;
    for_each_flag(flags, [&](std::string_view flag) { found = found || flag == wanted; });
    return found;
}

// What one pass over the text keeps: the first value of each key the report uses, the number
// of processor blocks and the distinct (physical id, core id) pairs.
struct CpuinfoFacts {
    std::optional<std::string_view> model_name, model_key, hardware, vendor, family, model,
        stepping, flags, microcode;
    std::uint32_t processors = 0;
    std::set<std::pair<std::string_view, std::string_view>> cores;
    // The distinct Arm core names by implementer and part, in order of appearance (a known
    // table, so few).
    std::vector<std::string_view> arm_cores;
};

void add_arm_core(CpuinfoFacts& facts, std::optional<std::uint32_t> implementer,
                  std::string_view part) {
    const auto code = parse_hex32(part);
    const auto name = implementer && code ? arm_part_name(*implementer, *code) : std::nullopt;
    if (name &&
        std::find(facts.arm_cores.begin(), facts.arm_cores.end(), *name) == facts.arm_cores.end())
        facts.arm_cores.push_back(*name);
}

CpuinfoFacts scan_cpuinfo(std::string_view text) {
    CpuinfoFacts facts;
    std::optional<std::string_view> physical;
    std::optional<std::string_view> core;
    std::optional<std::uint32_t> implementer;
    auto end_block = [&] {
        if (physical && core && facts.cores.size() < max_cores)
            facts.cores.emplace(*physical, *core);
        physical.reset();
        core.reset();
    };
    // The first value of each key the report shows that is not empty, kept in place.
    const std::pair<std::string_view, std::optional<std::string_view>*> firsts[] = {
        {"model name", &facts.model_name}, {"Model", &facts.model_key},
        {"Hardware", &facts.hardware},     {"vendor_id", &facts.vendor},
        {"cpu family", &facts.family},     {"model", &facts.model},
        {"stepping", &facts.stepping},     {"flags", &facts.flags},
        {"microcode", &facts.microcode},
    };
    for_each_line(trim_start(text), [&](std::string_view line) {
        if (line.empty()) {
            end_block();
            return;
        }
        if (line.starts_with("processor") && facts.processors < UINT32_MAX)
            ++facts.processors;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            return;
        const std::string_view key = trim(line.substr(0, colon));
        const std::string_view value = line.substr(colon + 1);
        if (key == "physical id")
            physical = trim(value);
        else if (key == "core id")
            core = trim(value);
        else if (key == "CPU implementer")
            implementer = parse_hex32(trim(value));
        else if (key == "CPU part")
            add_arm_core(facts, implementer, trim(value));
        // An empty value ("model name\t: ") says nothing; a later block may say more.
        for (const auto& [name, slot] : firsts) {
            if (key == name && !*slot && !trim(value).empty())
                *slot = trim(value);
        }
    });
    end_block();
    return facts;
}

}  // namespace

std::optional<std::string_view> key_value(std::string_view line, std::string_view key) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    if (trim(line.substr(0, colon)) != key)
        return std::nullopt;
    return trim(line.substr(colon + 1));
}

namespace {

// 32-bit Arm kernels print "ARMv7 Processor rev 10 (v7l)" or "ARMv6-compatible processor
// rev 7 (v6l)": the architecture, not the core.
bool is_generic_arm_name(std::string_view name) {
    return starts_with(name, "ARMv") && contains(ascii_lower(name), " processor rev ");
}

// "model name", else the Arm cores by implementer and part ("Cortex-A510 + Cortex-X3"), else
// "Model" and "Hardware", which name the board rather than the processor.
std::string brand_string(const CpuinfoFacts& facts) {
    if (facts.model_name && !is_generic_arm_name(*facts.model_name))
        return collapse_spaces(utf8_lossy(*facts.model_name));
    std::string cores;
    for (const auto name : facts.arm_cores)
        cores += (cores.empty() ? "" : " + ") + std::string(name);
    if (!cores.empty())
        return cores;
    for (const auto& value : {facts.model_name, facts.model_key, facts.hardware}) {
        if (value)
            return collapse_spaces(utf8_lossy(*value));
    }
    return "Unknown processor";
}

}  // namespace

void apply_cpuinfo(std::string_view text, CpuInfo& cpu) {
    const CpuinfoFacts facts = scan_cpuinfo(text);
    cpu.model = brand_string(facts);
    if (!facts.cores.empty())
        cpu.cores = static_cast<std::uint32_t>(facts.cores.size());
    else
        cpu.cores = facts.processors != 0 ? facts.processors : 1;
    cpu.threads = facts.processors;
    if (facts.vendor)
        cpu.vendor_id = utf8_lossy(*facts.vendor);
    cpu.family = parse_u32_or_zero(facts.family);
    cpu.model_number = parse_u32_or_zero(facts.model);
    cpu.stepping = parse_u32_or_zero(facts.stepping);
    if (facts.microcode)
        cpu.microcode = std::string(*facts.microcode);
    const std::uint32_t mask = facts.flags ? feature_mask(*facts.flags) : 0;
    // x86 guests see the CPUID hypervisor bit as this flag.
    cpu.hypervisor = facts.flags && has_flag(*facts.flags, "hypervisor");
    for (std::size_t i = 0; i < std::size(feature_table); ++i) {
        if ((mask & (std::uint32_t{1} << i)) != 0)
            cpu.features.emplace_back(feature_table[i].name);
    }
}

std::uint32_t cpuinfo_max_mhz(std::string_view text) {
    double best = 0;
    for_each_line(trim_start(text), [&best](std::string_view line) {
        auto v = key_value(line, "cpu MHz");
        if (!v || v->empty())
            return;
        std::string_view digits = *v;
        if (digits.front() == '+')
            digits.remove_prefix(1);
        double mhz = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), mhz,
                                               std::chars_format::fixed);
        if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(mhz)) {
            return;
        }
        if (mhz > best)
            best = mhz;
    });
    const double rounded = std::round(best);
    if (rounded >= 4294967295.0)
        return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(rounded);
}

}  // namespace nadrel

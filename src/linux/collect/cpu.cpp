// Processor identification from /proc/cpuinfo and /sys/devices/system/cpu.
#include "linux/collect/cpu.h"

#include <algorithm>
#include <limits>
#include <set>
#include <string>

#include "core/text/fields.h"
#include "core/text/unicode.h"
#include "linux/collect/cpu_caches.h"
#include "linux/collect/cpuinfo.h"

namespace nadrel {

namespace {

constexpr std::uint64_t u32_max = std::numeric_limits<std::uint32_t>::max();

std::uint32_t mhz_from_khz(std::uint64_t khz) {
    const std::uint64_t mhz = khz / 1000;
    return static_cast<std::uint32_t>(mhz > u32_max ? u32_max : mhz);
}

std::uint32_t read_mhz(const SysRoot& root, const std::string& path) {
    const auto khz = read_u64(root, path);
    return khz ? mhz_from_khz(*khz) : 0;
}

// Distinct cores among the CPUs of one core kind. The types folder names the kinds on newer
// kernels; released kernels list them only with the hybrid PMU devices, in the same syntax.
std::uint32_t hybrid_core_count(const SysRoot& root, std::string_view type, std::string_view pmu) {
    auto list = read_text(root, "/sys/devices/system/cpu/types/" + std::string(type) + "/cpulist");
    if (!list)
        list = read_text(root, "/sys/devices/" + std::string(pmu) + "/cpus");
    if (!list)
        return 0;
    std::set<std::string> cores;
    for (const std::uint32_t c : parse_cpu_list(*list)) {
        const std::string n = std::to_string(c);
        const auto siblings =
            read_text(root, "/sys/devices/system/cpu/cpu" + n + "/topology/core_cpus_list");
        cores.insert(siblings ? std::string(trim(*siblings)) : n);
    }
    return static_cast<std::uint32_t>(cores.size());
}

// The highest value of a cpufreq file over all CPUs, in MHz: favoured cores boost higher than
// cpu0, and every CPU's clock counts. Without the file on cpu0 there is no cpufreq at all.
std::uint32_t highest_mhz(const SysRoot& root, const std::vector<std::uint32_t>& cpus,
                          std::string_view file) {
    if (cpus.empty() || cpus.front() != 0)
        return 0;
    std::uint64_t best = 0;
    for (const std::uint32_t n : cpus) {
        const auto khz = read_u64(root, "/sys/devices/system/cpu/cpu" + std::to_string(n) +
                                            "/cpufreq/" + std::string(file));
        if (!khz) {
            if (n == 0)
                break;
            continue;
        }
        if (*khz > best)
            best = *khz;
    }
    return mhz_from_khz(best);
}

// The lowest value of a cpufreq file over all CPUs, in MHz; 0 without cpufreq.
std::uint32_t lowest_mhz(const SysRoot& root, const std::vector<std::uint32_t>& cpus,
                         std::string_view file) {
    std::optional<std::uint64_t> best;
    for (const std::uint32_t n : cpus) {
        const auto khz = read_u64(root, "/sys/devices/system/cpu/cpu" + std::to_string(n) +
                                            "/cpufreq/" + std::string(file));
        if (khz && *khz != 0 && (!best || *khz < *best))
            best = *khz;
    }
    return best ? mhz_from_khz(*best) : 0;
}

// The kernel lists about two dozen; a folder claiming more is cut before its files are read.
constexpr std::size_t max_vulnerabilities = 64;

// Each file of the vulnerabilities folder with the first line of its text.
std::vector<CpuVulnerability> read_vulnerabilities(const SysRoot& root) {
    constexpr std::string_view dir = "/sys/devices/system/cpu/vulnerabilities";
    std::vector<std::string> names = list_dir_sorted(root, dir);
    if (names.size() > max_vulnerabilities)
        names.resize(max_vulnerabilities);
    const auto texts = read_texts_in(root, dir, names);
    std::vector<CpuVulnerability> list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!texts[i])
            continue;
        const std::string_view text = *texts[i];
        const std::string_view status = trim(text.substr(0, text.find('\n')));
        // The kernel writes a line of words; control bytes mean a file that is not its.
        const bool binary = std::any_of(status.begin(), status.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
        });
        if (!status.empty() && !binary)
            list.push_back({names[i], std::string(status)});
    }
    return list;
}

}  // namespace

CpuInfo collect_cpu(const SysRoot& root) {
    CpuInfo cpu;
    const auto cpuinfo = read_raw_text(root, "/proc/cpuinfo", cpu_table_limit);
    const auto cpus = cpu_numbers(root);

    collect_caches(root, cpus, cpu);

    const std::uint32_t p = hybrid_core_count(root, "intel_core", "cpu_core");
    const std::uint32_t e = hybrid_core_count(root, "intel_atom", "cpu_atom");
    if (p != 0 && e != 0) {
        cpu.p_cores = p;
        cpu.e_cores = e;
    }

    if (cpuinfo) {
        apply_cpuinfo(*cpuinfo, cpu);
    } else {
        cpu.model = "Unknown processor";
    }
    // More performance and efficiency cores than physical cores: one of the two sources lies,
    // and a split that contradicts the count is not shown.
    if (cpu.cores != 0 && std::uint64_t{cpu.p_cores} + cpu.e_cores > cpu.cores) {
        cpu.p_cores = 0;
        cpu.e_cores = 0;
    }

    cpu.base_mhz = read_mhz(root, "/sys/devices/system/cpu/cpu0/cpufreq/base_frequency");
    cpu.current_mhz = highest_mhz(root, cpus, "scaling_cur_freq");
    if (cpu.current_mhz == 0 && cpuinfo)
        cpu.current_mhz = cpuinfo_max_mhz(*cpuinfo);
    cpu.max_mhz = highest_mhz(root, cpus, "cpuinfo_max_freq");
    if (cpu.max_mhz != 0)
        cpu.min_mhz = lowest_mhz(root, cpus, "cpuinfo_min_freq");
    const auto policy = read_texts_in(root, "/sys/devices/system/cpu/cpu0/cpufreq",
                                      {"scaling_driver", "scaling_governor"});
    cpu.scaling_driver = std::string(trim(policy[0].value_or("")));
    cpu.governor = std::string(trim(policy[1].value_or("")));
    cpu.vulnerabilities = read_vulnerabilities(root);
    return cpu;
}

}  // namespace nadrel

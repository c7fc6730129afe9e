// The cache hierarchy: every distinct cache instance of every CPU, folded into one entry per
// geometry with an instance count.
#include "linux/collect/cpu_caches.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::uint32_t max_cpus = 1024;
constexpr std::uint32_t max_cache_indices = 16;
// Higher numbers in a list cannot be CPUs and would only make a hostile list such as
// "0-4294967295" take forever.
constexpr std::uint64_t max_listed_cpu = cpu_set_size - 1;

constexpr std::uint64_t u32_max = std::numeric_limits<std::uint32_t>::max();

std::uint32_t u32_or_zero(const std::optional<std::string>& text) {
    const auto v = text ? parse_u64(*text) : std::nullopt;
    return v && *v <= u32_max ? static_cast<std::uint32_t>(*v) : 0;
}

// The files of one index folder, read together: a machine has dozens of these folders.
enum CacheFile : std::size_t {
    level_file,
    type_file,
    id_file,
    shared_file,
    size_file,
    line_file,
    ways_file
};
const std::vector<std::string> cache_files = {"level",
                                              "type",
                                              "id",
                                              "shared_cpu_list",
                                              "size",
                                              "coherency_line_size",
                                              "ways_of_associativity"};

// Level, type and sharing key name one cache instance; the first CPU reporting it wins.
using InstanceKey = std::tuple<std::uint8_t, std::string, std::string>;

}  // namespace

std::vector<std::uint32_t> cpu_numbers(const SysRoot& root) {
    std::vector<std::uint32_t> out;
    for (const auto& name : list_dir(root, "/sys/devices/system/cpu")) {
        if (!name.starts_with("cpu") || name.size() < 4 || name.size() > 7)
            continue;
        const std::string_view digits = std::string_view(name).substr(3);
        // Only the kernel's own spelling: no sign, no leading zeros.
        if (digits.find_first_not_of("0123456789") != std::string_view::npos)
            continue;
        if (digits.size() > 1 && digits.front() == '0')
            continue;
        const auto n = parse_u64(digits);
        if (n && *n < max_cpus)
            out.push_back(static_cast<std::uint32_t>(*n));
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::uint32_t parse_cache_size(std::string_view text) {
    text = trim(text);
    std::uint64_t unit = 1;
    if (!text.empty() && text.back() == 'K') {
        unit = 1024;
        text.remove_suffix(1);
    } else if (!text.empty() && text.back() == 'M') {
        unit = 1048576;
        text.remove_suffix(1);
    }
    // Digits only (an optional "+"): no inner spaces or signs.
    if (text.empty() || text.find_first_of(" \t-") != std::string_view::npos)
        return 0;
    const auto v = parse_u64(text);
    if (!v || *v > u32_max / unit)
        return 0;
    return static_cast<std::uint32_t>(*v * unit);
}

void add_cache_instance(std::vector<CacheInfo>& caches, const CacheInfo& instance) {
    for (auto& c : caches) {
        if (c.level == instance.level && c.cache_type == instance.cache_type &&
            c.size == instance.size && c.line_size == instance.line_size &&
            c.ways == instance.ways) {
            if (c.count < u32_max)
                ++c.count;
            return;
        }
    }
    CacheInfo entry = instance;
    entry.count = 1;
    caches.push_back(std::move(entry));
}

std::uint32_t cache_level_total(const std::vector<CacheInfo>& caches, std::uint8_t level) {
    std::uint64_t total = 0;
    for (const auto& c : caches) {
        if (c.level != level)
            continue;
        total += std::uint64_t{c.count} * c.size;  // at most 2^64 - 2^33 + 1: no overflow
        if (total > u32_max)
            return static_cast<std::uint32_t>(u32_max);
    }
    return static_cast<std::uint32_t>(total);
}

void collect_caches(const SysRoot& root, const std::vector<std::uint32_t>& cpus, CpuInfo& cpu) {
    std::map<InstanceKey, CacheInfo> instances;
    // Without cpu0's cache folder the machine reports no caches at all.
    if (cpus.empty() || cpus.front() != 0 || !exists(root, "/sys/devices/system/cpu/cpu0/cache")) {
        return;
    }
    for (const std::uint32_t n : cpus) {
        const std::string cache_dir = "/sys/devices/system/cpu/cpu" + std::to_string(n) + "/cache";
        if (n != 0 && !exists(root, cache_dir))
            continue;
        for (std::uint32_t i = 0; i < max_cache_indices; ++i) {
            const std::string dir = cache_dir + "/index" + std::to_string(i);
            auto files = read_texts_in(root, dir, cache_files);
            // A missing level ends this CPU's indices; one that is there but unreadable or
            // not a number only skips its own index.
            if (!files[level_file] && !exists(root, dir + "/level"))
                break;
            const auto level = files[level_file] ? parse_u64(*files[level_file]) : std::nullopt;
            if (!level || *level > 255)
                continue;
            std::string type = files[type_file].value_or("Unified");
            std::string key;
            if (files[id_file]) {
                key = std::move(*files[id_file]);
            } else if (files[shared_file]) {
                key = std::move(*files[shared_file]);
            } else {
                // Without either file, indices never merge.
                key = std::to_string(n) + "." + std::to_string(i);
            }
            InstanceKey instance_key{static_cast<std::uint8_t>(*level), std::move(type),
                                     std::move(key)};
            if (instances.contains(instance_key))
                continue;
            CacheInfo c;
            c.level = std::get<0>(instance_key);
            c.cache_type = std::get<1>(instance_key);
            c.size = parse_cache_size(files[size_file].value_or(""));
            c.line_size = u32_or_zero(files[line_file]);
            c.ways = u32_or_zero(files[ways_file]);
            instances.emplace(std::move(instance_key), std::move(c));
        }
    }
    for (const auto& [key, instance] : instances)
        add_cache_instance(cpu.caches, instance);
    cpu.l1_total = cache_level_total(cpu.caches, 1);
    cpu.l2_total = cache_level_total(cpu.caches, 2);
    cpu.l3_total = cache_level_total(cpu.caches, 3);
}

CpuSet parse_cpu_set(std::string_view text) {
    CpuSet set;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
        const std::size_t dash = item.find('-');
        const auto first = parse_u64(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : parse_u64(item.substr(dash + 1));
        if (!first || !last || *first > *last)
            continue;
        for (std::uint64_t c = *first; c <= std::min(*last, max_listed_cpu); ++c)
            set.set(static_cast<std::size_t>(c));
    }
    return set;
}

std::vector<std::uint32_t> parse_cpu_list(std::string_view text) {
    const CpuSet set = parse_cpu_set(text);
    std::vector<std::uint32_t> out;
    out.reserve(set.count());
    for (std::size_t c = 0; c < set.size(); ++c) {
        if (set.test(c))
            out.push_back(static_cast<std::uint32_t>(c));
    }
    return out;
}

}  // namespace nadrel

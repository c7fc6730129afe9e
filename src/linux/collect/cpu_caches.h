// The cache hierarchy from the per-CPU sysfs cache folders, and the sysfs CPU list syntax.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// The CPU numbers below 1024 that have a folder under /sys/devices/system/cpu, ascending.
std::vector<std::uint32_t> cpu_numbers(const SysRoot& root);

// Fills caches and the three level totals.
void collect_caches(const SysRoot& root, const std::vector<std::uint32_t>& cpus, CpuInfo& cpu);

// A sysfs cache size: "32K", "1M" or plain bytes; 0 when it does not parse or fit 32 bits.
std::uint32_t parse_cache_size(std::string_view text);

// Folds cache instances (in level, type, sharing-key order) into one entry per geometry.
void add_cache_instance(std::vector<CacheInfo>& caches, const CacheInfo& instance);
// Sum of count x size over the entries of one level, saturating at 32 bits.
std::uint32_t cache_level_total(const std::vector<CacheInfo>& caches, std::uint8_t level);

// The CPU numbers a list can name: the kernel's largest NR_CPUS.
inline constexpr std::size_t cpu_set_size = 8192;
using CpuSet = std::bitset<cpu_set_size>;

// The CPUs of a list such as "0-3,8,10-11"; malformed items, reversed ranges and numbers past
// the set are skipped, and repeats cost nothing.
CpuSet parse_cpu_set(std::string_view text);
// The same CPUs in ascending order, each once.
std::vector<std::uint32_t> parse_cpu_list(std::string_view text);

}  // namespace nadrel

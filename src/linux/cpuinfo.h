// The /proc/cpuinfo text: key lookups and the processor facts it gives.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

// The lines of the trimmed text, each without a trailing carriage return.
std::vector<std::string_view> cpuinfo_lines(std::string_view text);

// The trimmed value after the first ":" when the trimmed part before it is exactly key.
std::optional<std::string_view> key_value(std::string_view line, std::string_view key);
// key_value of the first line that has one (in practice, the first processor block's).
std::optional<std::string_view> first_value(const std::vector<std::string_view>& lines,
                                            std::string_view key);

// Brand string, vendor, family/model/stepping, physical cores, threads, features and the
// hypervisor flag.
void apply_cpuinfo(std::string_view text, CpuInfo& cpu);
// The highest "cpu MHz" value, rounded; 0 when there is none.
std::uint32_t cpuinfo_max_mhz(std::string_view text);

}  // namespace nadrel

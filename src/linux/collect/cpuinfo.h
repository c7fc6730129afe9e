// The /proc/cpuinfo text: key lookups and the processor facts it gives. The text is taken as
// bytes, not necessarily UTF-8: the values kept are decoded one by one, with replacement.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/snapshot.h"

namespace nadrel {

// The trimmed value after the first ":" when the trimmed part before it is exactly key.
std::optional<std::string_view> key_value(std::string_view line, std::string_view key);

// Brand string, vendor, family/model/stepping, physical cores, threads, features and the
// hypervisor flag.
void apply_cpuinfo(std::string_view text, CpuInfo& cpu);
// The highest "cpu MHz" value, rounded; 0 when there is none.
std::uint32_t cpuinfo_max_mhz(std::string_view text);

}  // namespace nadrel

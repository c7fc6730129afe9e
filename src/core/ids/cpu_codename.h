// Processor code names and manufacturing processes by vendor, family and model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nadrel {

struct CpuCodename {
    std::string name;     // "Raptor Lake"
    std::string process;  // "Intel 7"
    bool operator==(const CpuCodename&) const = default;
};

// The first matching row; only "GenuineIntel" and "AuthenticAMD" are known.
std::optional<CpuCodename> cpu_codename(std::string_view vendor_id, std::uint32_t family,
                                        std::uint32_t model_number);

}  // namespace nadrel

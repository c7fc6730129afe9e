// Processor code names and manufacturing processes by vendor, family and model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/snapshot.h"

namespace nadrel {

struct CpuCodename {
    std::string name;     // "Raptor Lake"
    std::string process;  // "Intel 7"
    bool operator==(const CpuCodename&) const = default;
};

// The first matching row; only "GenuineIntel" and "AuthenticAMD" are known.
std::optional<CpuCodename> cpu_codename(std::string_view vendor_id, std::uint32_t family,
                                        std::uint32_t model_number);

// Whether a brand string names a processor model ("i5-12600K", "Ryzen 9 7950X", "EPYC 7451")
// rather than a family a hypervisor makes up ("QEMU Virtual CPU version 2.5+", "Common KVM
// processor", "Intel Xeon Processor (Skylake, IBRS)"): some word before any "@" holds a
// letter and a digit, or three digits in a row.
bool brand_names_model(std::string_view brand);

// The code name the report shows: in a virtual machine the hypervisor may fake the model
// number, so only when the brand string names a model.
std::optional<CpuCodename> shown_cpu_codename(const CpuInfo& cpu, bool virtual_machine);

// The rated clock a brand string ends with ("... @ 2.67GHz" gives 2670), in MHz; 0 without one.
std::uint32_t brand_rated_mhz(std::string_view brand);

}  // namespace nadrel

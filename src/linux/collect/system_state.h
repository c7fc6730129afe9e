// The system's state at collection: uptime, load, boot mode and kernel taint.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

std::optional<std::uint64_t> collect_uptime(const SysRoot& root);
std::optional<std::array<double, 3>> collect_load_average(const SysRoot& root);
// UEFI when the firmware left its tables (/sys/firmware/efi); else BIOS on x86, which boots
// either way; unknown elsewhere (boards start from a loader of their own).
BootMode collect_boot_mode(const SysRoot& root, bool x86);
std::optional<std::uint64_t> collect_kernel_taint(const SysRoot& root);

}  // namespace nadrel

// Uptime, load averages, boot mode and kernel taint.
#include "linux/collect/system_state.h"

#include "core/text/kernel_state.h"

namespace nadrel {

std::optional<std::uint64_t> collect_uptime(const SysRoot& root) {
    const auto text = read_text(root, "/proc/uptime");
    return text ? parse_uptime_seconds(*text) : std::nullopt;
}

std::optional<std::array<double, 3>> collect_load_average(const SysRoot& root) {
    const auto text = read_text(root, "/proc/loadavg");
    return text ? parse_load_average(*text) : std::nullopt;
}

BootMode collect_boot_mode(const SysRoot& root, bool x86) {
    if (exists(root, "/sys/firmware/efi"))
        return BootMode::Uefi;
    return x86 ? BootMode::Bios : BootMode::Unknown;
}

std::optional<std::uint64_t> collect_kernel_taint(const SysRoot& root) {
    return read_u64(root, "/proc/sys/kernel/tainted");
}

}  // namespace nadrel

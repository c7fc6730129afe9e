// Host, operating system, firmware identity, TPM and Secure Boot.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

std::string collect_hostname(const SysRoot& root);
std::string collect_os_name(const SysRoot& root);
std::string collect_kernel(const SysRoot& root);
std::string collect_os_installed(const SysRoot& root);
DmiIdentity collect_dmi_identity(const SysRoot& root);
// Serials, UUID and asset tags from /sys/class/dmi/id (most are root-only), and the machine id.
MachineIds collect_machine_ids(const SysRoot& root);
std::string collect_tpm(const SysRoot& root);
std::string collect_secure_boot(const SysRoot& root);
std::string collect_chassis(const SysRoot& root);
// Bytes of the online memory blocks (sys/devices/system/memory), as lsmem totals them;
// nothing without block folders or when none is online.
std::optional<std::uint64_t> collect_online_memory(const SysRoot& root);
// The hypervisor's name (DMI identity, sys/hypervisor/type, the processor flag) or empty.
std::string collect_virtual_machine(const SysRoot& root, const DmiIdentity& dmi,
                                    bool hypervisor_flag);
// The device tree's "model" and first "compatible" string, when the firmware gave one.
void collect_devicetree_board(const SysRoot& root, SystemSnapshot& snapshot);
// The first NUL-terminated string of a device-tree property, trimmed; empty when none.
std::string devicetree_string(std::span<const std::uint8_t> property);

// The PRETTY_NAME value of an os-release text, quotes stripped; nothing without such a line.
std::optional<std::string> parse_os_release(std::string_view text);
// The local calendar date (YYYY-MM-DD) of a file time from the year 2000 on; empty otherwise.
std::string install_date(const timespec& mtime);
// "On" or "Off" from an EFI variable (4 attribute bytes, then the data); empty when too short.
std::string secure_boot_state(std::span<const std::uint8_t> variable);
// "1.2", "2.0" or empty for a TPM major version.
std::string tpm_version_text(std::uint64_t major);

}  // namespace nadrel

// Host and firmware identity (not yet collected).
#include "linux/identity.h"

namespace nadrel {

std::string collect_hostname(const SysRoot&) { return "Unknown"; }
std::string collect_os_name(const SysRoot&) { return "Linux"; }
std::string collect_kernel(const SysRoot&) { return {}; }
std::string collect_os_installed(const SysRoot&) { return {}; }
std::uint64_t collect_memory_total(const SysRoot&) { return 0; }
DmiIdentity collect_dmi_identity(const SysRoot&) { return {}; }
std::string collect_tpm(const SysRoot&) { return {}; }
std::string collect_secure_boot(const SysRoot&) { return {}; }
std::string collect_chassis(const SysRoot&) { return {}; }

}  // namespace nadrel

// Host, operating system, firmware identity, memory total, TPM and Secure Boot.
#pragma once

#include <cstdint>
#include <string>

#include "core/snapshot.h"
#include "core/sysroot.h"

namespace nadrel {

std::string collect_hostname(const SysRoot& root);
std::string collect_os_name(const SysRoot& root);
std::string collect_kernel(const SysRoot& root);
std::string collect_os_installed(const SysRoot& root);
std::uint64_t collect_memory_total(const SysRoot& root);
DmiIdentity collect_dmi_identity(const SysRoot& root);
std::string collect_tpm(const SysRoot& root);
std::string collect_secure_boot(const SysRoot& root);
std::string collect_chassis(const SysRoot& root);

}  // namespace nadrel

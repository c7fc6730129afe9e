// Processors without CPUID: the hypervisor is told by the kernel's files alone.
#include "linux/collect/hypervisor.h"

namespace nadrel {

std::string cpuid_hypervisor_signature() {
    return {};
}

}  // namespace nadrel

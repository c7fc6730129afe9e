// CPUID's hypervisor leaf on x86 processors.
#include <cpuid.h>

#include <cstring>

#include "linux/collect/hypervisor.h"

namespace nadrel {

std::string cpuid_hypervisor_signature() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    // Leaf 1, ECX bit 31: running under a hypervisor, which then answers leaf 0x40000000.
    // __get_cpuid refuses that leaf (it is above the basic maximum), so it is asked directly.
    if (__get_cpuid(1, &a, &b, &c, &d) == 0 || (c & (1u << 31)) == 0)
        return {};
    __cpuid(0x40000000, a, b, c, d);
    char signature[12];
    std::memcpy(signature, &b, 4);
    std::memcpy(signature + 4, &c, 4);
    std::memcpy(signature + 8, &d, 4);
    return std::string(signature, sizeof signature);
}

}  // namespace nadrel

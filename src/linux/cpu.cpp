// Processor identification (not yet collected).
#include "linux/cpu.h"

namespace nadrel {

CpuInfo collect_cpu(const SysRoot&) { return {}; }

}  // namespace nadrel

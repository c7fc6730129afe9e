// libFuzzer target: any text as /proc/cpuinfo. The facts stay within what one text can give:
// no more cores than processor blocks allow, and only features of the table.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "linux/collect/cpuinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    nadrel::CpuInfo cpu;
    nadrel::apply_cpuinfo(text, cpu);
    if (cpu.model.empty() || cpu.cores == 0 || cpu.features.size() > 25 || cpu.cores > size + 1)
        std::abort();
    (void)nadrel::cpuinfo_max_mhz(text);
    return 0;
}

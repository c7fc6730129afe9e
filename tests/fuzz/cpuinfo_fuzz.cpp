// libFuzzer target: any bytes as /proc/cpuinfo. The facts stay within what one text can give:
// no more cores than processor blocks allow, only features of the table, and UTF-8 names.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/text/unicode.h"
#include "linux/collect/cpuinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    nadrel::CpuInfo cpu;
    nadrel::apply_cpuinfo(text, cpu);
    if (cpu.model.empty() || cpu.cores == 0 || cpu.features.size() > 25 || cpu.cores > size + 1)
        std::abort();
    // The text is bytes; what is kept of it is UTF-8.
    if (!nadrel::is_valid_utf8(cpu.model) ||
        (cpu.vendor_id && !nadrel::is_valid_utf8(*cpu.vendor_id)))
        std::abort();
    (void)nadrel::cpuinfo_max_mhz(text);
    return 0;
}

// libFuzzer target: any text as /proc/stat; busy time never exceeds the total.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "linux/live/sampler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto times = nadrel::parse_cpu_times(text);
    if (times.busy > times.total)
        std::abort();
    return 0;
}

// libFuzzer target: any text as a sysfs CPU list; the list is ascending, distinct and inside
// the set, and agrees with the set.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "linux/collect/cpu_caches.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto list = nadrel::parse_cpu_list(text);
    if (list.size() != nadrel::parse_cpu_set(text).count())
        std::abort();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] >= nadrel::cpu_set_size || (i > 0 && list[i] <= list[i - 1]))
            std::abort();
    }
    return 0;
}

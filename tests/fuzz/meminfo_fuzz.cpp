// libFuzzer target: any text as /proc/meminfo, through the key lookup (a value is whole KiB),
// and as /proc/zoneinfo, through the present-page sum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/text/fields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* key : {"MemTotal", "MemAvailable"}) {
        if (const auto bytes = nadrel::meminfo_bytes(text, key); bytes && *bytes % 1024 != 0)
            std::abort();
    }
    (void)nadrel::zoneinfo_present_pages(text);
    return 0;
}

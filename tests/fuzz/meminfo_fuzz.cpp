// libFuzzer target: any text as /proc/meminfo, through the key lookup and the MemTotal reader,
// which must agree; and as /proc/zoneinfo, through the present-page sum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/text_fields.h"
#include "linux/identity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (nadrel::parse_meminfo_total(text) != nadrel::meminfo_bytes(text, "MemTotal"))
        std::abort();
    (void)nadrel::meminfo_bytes(text, "MemAvailable");
    (void)nadrel::zoneinfo_present_pages(text);
    return 0;
}

// libFuzzer target: any text as /etc/os-release; the name is one line without outer quotes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "linux/collect/identity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto name = nadrel::parse_os_release(text)) {
        if (name->find('\n') != std::string::npos || name->starts_with('"') ||
            name->ends_with('"') || name->size() > size)
            std::abort();
    }
    return 0;
}

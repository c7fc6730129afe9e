// libFuzzer target: any text as /proc/net/route and as /proc/net/wireless; a gateway is a
// dotted IPv4 address, an interface name one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/live/route.h"
#include "linux/live/card.h"
#include "linux/live/sampler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto gateway = nadrel::default_gateway(text)) {
        if (gateway->size() < 7 || gateway->size() > 15 ||
            gateway->find_first_not_of("0123456789.") != std::string::npos)
            std::abort();
    }
    for (const auto& w : nadrel::parse_wireless(text)) {
        if (w.name.find('\n') != std::string::npos)
            std::abort();
    }
    return 0;
}

// libFuzzer target: any text as /proc/net/route and /proc/net/wireless, and as the address
// tables (if_inet6; fib_trie with a route table, the input split at its first NUL). A gateway
// is a dotted IPv4 address, an interface name one line, an address of its family with a
// prefix length the family allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/live/route.h"
#include "core/text/inet.h"
#include "linux/live/card.h"
#include "linux/live/sampler.h"

namespace {

void check(const std::vector<nadrel::InterfaceAddress>& addresses) {
    for (const auto& a : addresses) {
        const std::string& text = a.address.address;
        const bool ok = a.address.ipv6
                            ? text.find(':') != std::string::npos && a.address.prefix_length <= 128
                            : text.size() >= 7 && text.size() <= 15 &&
                                  a.address.prefix_length <= 32 &&
                                  text.find_first_not_of("0123456789.") == std::string::npos;
        if (!ok || a.interface.find('\n') != std::string::npos)
            std::abort();
    }
}

}  // namespace

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
    check(nadrel::parse_if_inet6(text));
    const std::size_t split = std::min(text.find('\0'), text.size());
    check(nadrel::parse_ipv4_addresses(text.substr(0, split),
                                       text.substr(std::min(split + 1, size))));
    return 0;
}

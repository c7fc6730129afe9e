// The default gateway from the kernel's IPv4 routing table.
#include "core/live/route.h"

#include <utility>

#include "core/text/fields.h"
#include "core/text/fmt.h"
#include "core/text/numbers.h"

namespace nadrel {

std::optional<std::string> default_gateway(std::string_view route_table) {
    std::optional<std::string> gateway;
    bool heading = true;
    for_each_line(route_table, [&](std::string_view line) {
        if (std::exchange(heading, false))
            return false;
        const auto fields = split_fields(line);
        if (fields.size() < 2 || fields[1] != "00000000")
            return false;
        // The first default route decides, even one whose gateway does not parse.
        const auto address = fields.size() >= 3 ? parse_hex32(fields[2]) : std::nullopt;
        if (address) {
            gateway = strfmt("%u.%u.%u.%u", *address & 0xFF, (*address >> 8) & 0xFF,
                             (*address >> 16) & 0xFF, *address >> 24);
        }
        return true;
    });
    return gateway;
}

}  // namespace nadrel

// Link judgements: a link is below capability only where both sides of a comparison are known.
#include "core/links.h"

#include <algorithm>

#include "core/text/unicode.h"

namespace nadrel {

namespace {

std::uint32_t lower_known(std::uint32_t a, std::uint32_t b) {
    if (a == 0 || b == 0)
        return std::max(a, b);
    return std::min(a, b);
}

// The highest speed USB 2 has (high speed), in Mb/s.
constexpr std::uint32_t usb2_mbps = 480;

}  // namespace

std::uint32_t capable_mts(const PcieLink& link) {
    return lower_known(link.max_mts, link.port_max_mts);
}

std::uint32_t capable_width(const PcieLink& link) {
    return lower_known(link.max_width, link.port_max_width);
}

std::optional<LinkShortfall> link_shortfall(const PcieLink& link) {
    const std::uint32_t mts = capable_mts(link);
    const std::uint32_t width = capable_width(link);
    const bool speed_known = link.current_mts != 0 && mts != 0;
    const bool width_known = link.current_width != 0 && width != 0;
    if (!speed_known && !width_known)
        return std::nullopt;
    return LinkShortfall{speed_known && link.current_mts < mts,
                         width_known && link.current_width < width};
}

std::optional<bool> below_capability(const PciDevice& device) {
    if (!device.link || !device.link_judged)
        return std::nullopt;
    const auto shortfall = link_shortfall(*device.link);
    if (!shortfall)
        return std::nullopt;
    return shortfall->speed || shortfall->width;
}

bool usb_below_capability(const UsbDevice& device) {
    return starts_with(trim(device.version), "3.") && device.speed_mbps != 0 &&
           device.speed_mbps <= usb2_mbps;
}

}  // namespace nadrel

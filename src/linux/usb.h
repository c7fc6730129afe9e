// USB devices from /sys/bus/usb.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/sysroot.h"

namespace nadrel {

std::vector<UsbDevice> collect_usb_devices(const SysRoot& root);

std::optional<std::vector<std::uint32_t>> parse_usb_key(std::string_view name);
std::uint32_t parse_usb_speed(std::string_view text);

}  // namespace nadrel

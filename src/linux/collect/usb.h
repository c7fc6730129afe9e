// USB devices from /sys/bus/usb.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ids/pci_ids.h"
#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

std::vector<UsbDevice> collect_usb_devices(const SysRoot& root);
// The name lsusb shows for a listing: vendor and product, the vendor alone, or empty.
std::string usb_ids_text(const std::optional<IdNames>& names);

std::optional<std::vector<std::uint32_t>> parse_usb_key(std::string_view name);
std::uint32_t parse_usb_speed(std::string_view text);

}  // namespace nadrel

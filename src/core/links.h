// Whether a link runs as fast as it can: a PCI Express link against the lower of the device's
// and its port's maximum, and a USB 3 device against USB 2 speed. Judged only on what is known.
#pragma once

#include <cstdint>
#include <optional>

#include "core/snapshot.h"

namespace nadrel {

// Which part of a link runs below capability; a part not known on both sides is not below.
struct LinkShortfall {
    bool speed = false;
    bool width = false;
};

// What the link can run at: the lower of the device's and its port's maximum (either alone
// when only one is known; 0 when neither is).
std::uint32_t capable_mts(const PcieLink& link);
std::uint32_t capable_width(const PcieLink& link);

// The current speed and width against the capability; nothing when neither can be compared.
std::optional<LinkShortfall> link_shortfall(const PcieLink& link);

// Whether a function's own link runs below capability; nothing for a function without a link,
// one whose link is judged from the function below it (root and switch downstream ports), or
// one whose link cannot be compared.
std::optional<bool> below_capability(const PciDevice& device);

// A device that declares USB 3 (version 3.x) running at USB 2 speed or slower (480 Mb/s): a
// USB 3 device in a USB 2 port or cable.
bool usb_below_capability(const UsbDevice& device);

}  // namespace nadrel

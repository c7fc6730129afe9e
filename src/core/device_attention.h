// The device findings of the attention list: PCI links below their capability that are not an
// idle power-saving drop, and USB 3 devices running at USB 2 speed.
#pragma once

#include <vector>

#include "core/attention.h"
#include "core/snapshot.h"

namespace nadrel {

// A link narrower than it can be, always; a link slower than it can be only while the device
// is known to be at full power and is no display controller, whose link speed follows its load.
std::vector<AttentionItem> pci_link_attention(const SystemSnapshot& s);
// Each device that usb_below_capability finds.
std::vector<AttentionItem> usb_speed_attention(const SystemSnapshot& s);

}  // namespace nadrel

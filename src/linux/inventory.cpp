// Peripheral inventory (not yet collected).
#include "linux/inventory.h"

namespace nadrel {

std::vector<NetAdapter> collect_net_adapters(const SysRoot&) { return {}; }
std::vector<std::string> collect_sound_cards(const SysRoot&) { return {}; }
std::vector<std::string> collect_audio_devices(const SysRoot&) { return {}; }
std::vector<std::string> collect_bluetooth(const SysRoot&) { return {}; }
std::vector<UsbDevice> collect_usb_devices(const SysRoot&) { return {}; }

}  // namespace nadrel

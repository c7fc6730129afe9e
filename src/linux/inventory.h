// Network adapters, sound cards, audio endpoints, Bluetooth adapters and USB devices.
#pragma once

#include <string>
#include <vector>

#include "core/snapshot.h"
#include "core/sysroot.h"

namespace nadrel {

std::vector<NetAdapter> collect_net_adapters(const SysRoot& root);
std::vector<std::string> collect_sound_cards(const SysRoot& root);
std::vector<std::string> collect_audio_devices(const SysRoot& root);
std::vector<std::string> collect_bluetooth(const SysRoot& root);
std::vector<UsbDevice> collect_usb_devices(const SysRoot& root);

}  // namespace nadrel

// Network adapters, sound cards, audio endpoints, Bluetooth adapters and USB devices
// (net.cpp, audio.cpp, usb.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/sysroot.h"

namespace nadrel {

std::vector<NetAdapter> collect_net_adapters(const SysRoot& root);
std::vector<std::string> collect_sound_cards(const SysRoot& root);
std::vector<std::string> collect_audio_devices(const SysRoot& root);
std::vector<std::string> collect_bluetooth(const SysRoot& root);
std::vector<UsbDevice> collect_usb_devices(const SysRoot& root);

// The parsers beneath the collectors, for text already in hand.
// Card names of /proc/asound/cards, each once.
std::vector<std::string> parse_sound_cards(std::string_view text);
// "ALC897 Analog (playback, capture)" entries of /proc/asound/pcm, each once.
std::vector<std::string> parse_audio_devices(std::string_view text);
// [bus, port, port, ...] of a USB device name such as "1-2.4"; nothing when malformed.
std::optional<std::vector<std::uint32_t>> parse_usb_key(std::string_view name);
// Whole Mb/s of a USB speed file ("480", "5000"); 0 for "1.5", negative or malformed text.
std::uint32_t parse_usb_speed(std::string_view text);

}  // namespace nadrel

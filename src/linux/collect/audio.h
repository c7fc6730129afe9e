// Sound cards and audio endpoints from /proc/asound.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

std::vector<std::string> collect_sound_cards(const SysRoot& root);
std::vector<std::string> collect_audio_devices(const SysRoot& root);

std::vector<std::string> parse_sound_cards(std::string_view text);
std::vector<std::string> parse_audio_devices(std::string_view text);

}  // namespace nadrel

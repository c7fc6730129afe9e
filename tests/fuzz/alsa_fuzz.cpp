// libFuzzer target: any text as /proc/asound/cards and as /proc/asound/pcm; entries are
// distinct and never empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "linux/collect/audio.h"

namespace {

void check(const std::vector<std::string>& entries) {
    const std::set<std::string> distinct(entries.begin(), entries.end());
    if (distinct.size() != entries.size() || distinct.contains(""))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(nadrel::parse_sound_cards(text));
    check(nadrel::parse_audio_devices(text));
    return 0;
}

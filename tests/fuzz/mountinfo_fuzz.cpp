// libFuzzer target: any text as /proc/self/mountinfo (then the choice of mounts to list and to
// measure), as /proc/swaps and as a udev database record. Decoding escapes never lengthens a
// field, and no more mounts or areas come back than the limits allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/storage/block_text.h"
#include "core/storage/mounts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const nadrel::MountTable table = nadrel::parse_mountinfo(text, 64);
    if (table.mounts.size() > 64)
        std::abort();
    for (const auto& m : table.mounts) {
        if (m.mount_point.size() > size || m.source.size() > size || m.root.size() > size)
            std::abort();
    }
    const auto visible = nadrel::visible_mounts(table);
    if (visible.size() > table.mounts.size() ||
        nadrel::measurable_mounts(visible, table).size() != visible.size())
        std::abort();
    if (nadrel::parse_swaps(text, 8).size() > 8)
        std::abort();
    const nadrel::UdevBlock udev = nadrel::parse_udev_block(text);
    if (udev.label.size() > size || udev.part_name.size() > size)
        std::abort();
    return 0;
}

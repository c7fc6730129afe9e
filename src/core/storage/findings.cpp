// Degraded arrays and nearly full file systems, found in the snapshot alone.
#include "core/storage/findings.h"

#include "core/report/format.h"
#include "core/report/storage_text.h"
#include "core/text/fields.h"
#include "core/text/fmt.h"

namespace nadrel {

std::vector<AttentionItem> degraded_arrays(const SystemSnapshot& s) {
    std::vector<AttentionItem> items;
    for (const RaidArray& array : s.arrays) {
        if (array.missing.value_or(0) == 0)
            continue;
        items.push_back({"raid_degraded", array.name,
                         raid_level_text(array.level) + " array " + array.name +
                             " degraded: " + array_disks_text(array) + " working"});
    }
    return items;
}

std::vector<AttentionItem> nearly_full_filesystems(const SystemSnapshot& s) {
    std::vector<AttentionItem> items;
    for (const Volume& v : s.volumes) {
        if (!v.usage || v.read_only || v.filesystem == "squashfs" || v.filesystem == "erofs" ||
            v.filesystem == "cramfs")
            continue;
        const VolumeUsage& u = *v.usage;
        // df's share: what users may still write of what users can have (root's reserve
        // left out of both).
        const std::uint64_t usable = saturating_add(u.used, u.available);
        if (usable == 0 || u.available >= usable / 20 + (usable % 20 != 0 ? 1 : 0))
            continue;
        const double percent =
            static_cast<double>(u.available) * 100.0 / static_cast<double>(usable);
        items.push_back(
            {"filesystem_full", v.mount_point,
             strfmt("%s nearly full: %s free of %s (%.1f%%)", v.mount_point.c_str(),
                    format_size(u.available).c_str(), format_size(u.size).c_str(), percent)});
    }
    return items;
}

}  // namespace nadrel

// Texts of RAID arrays, storage layers, signatures and space.
#include "core/report/storage_text.h"

#include "core/report/format.h"
#include "core/text/fmt.h"

namespace nadrel {

std::string raid_level_text(std::string_view level) {
    if (level.starts_with("raid"))
        return "RAID" + std::string(level.substr(4));
    return std::string(level);
}

std::string array_disks_text(const RaidArray& array) {
    if (array.devices == 0)
        return {};
    const std::uint32_t missing = array.missing.value_or(0);
    if (missing > 0 && missing <= array.devices) {
        return strfmt("%u of %u disks", array.devices - missing, array.devices);
    }
    return strfmt("%u %s", array.devices, array.devices == 1 ? "disk" : "disks");
}

std::string array_state_text(const RaidArray& array) {
    if (array.missing.value_or(0) > 0)
        return "degraded";
    return array.state;
}

std::string array_item(const RaidArray& array) {
    const std::string notes = join(
        {raid_level_text(array.level), array_disks_text(array), array_state_text(array)}, ", ");
    return notes.empty() ? array.name : array.name + " (" + notes + ")";
}

std::string lvm_name(std::string_view map_name) {
    // The one "-" that is not doubled parts the group from the volume.
    std::string group;
    for (std::size_t i = 0; i < map_name.size(); ++i) {
        if (map_name[i] != '-') {
            group += map_name[i];
            continue;
        }
        if (i + 1 < map_name.size() && map_name[i + 1] == '-') {
            group += '-';
            ++i;
            continue;
        }
        std::string volume;
        for (std::size_t j = i + 1; j < map_name.size(); ++j) {
            volume += map_name[j];
            if (map_name[j] == '-' && j + 1 < map_name.size() && map_name[j + 1] == '-')
                ++j;
        }
        return group + "/" + volume;
    }
    return std::string(map_name);
}

std::string layer_text(const BlockNode& node, bool named) {
    std::string word;
    std::string name(display_name(node));
    switch (node.kind) {
        case BlockKind::Mapped: {
            const std::string_view kind = node.mapped->kind;
            if (kind == "crypt") {
                // LUKS names its maps after UUIDs ("luks-3f2a..."): the word says enough.
                return node.mapped->crypt_format.starts_with("LUKS") ? "LUKS" : "dm-crypt";
            }
            if (kind == "lvm") {
                word = "LVM";
                name = lvm_name(name);
            } else {
                word = kind == "multipath" ? "multipath" : "device-mapper";
            }
            break;
        }
        case BlockKind::Raid:
            word = raid_level_text(node.raid->level);
            if (word.empty())
                word = "RAID";
            break;
        case BlockKind::Loop:
            return named ? name : "loop";
        case BlockKind::Disk:
        case BlockKind::Partition:
            return name;
    }
    return named ? word + " " + name : word;
}

std::string filesystem_text(std::string_view filesystem) {
    if (filesystem == "crypto_LUKS")
        return "LUKS";
    if (filesystem == "LVM2_member")
        return "LVM PV";
    if (filesystem == "linux_raid_member")
        return "RAID member";
    return std::string(filesystem);
}

std::string usage_text(const VolumeUsage& usage) {
    return format_size(usage.used) + " of " + format_size(usage.size);
}

}  // namespace nadrel

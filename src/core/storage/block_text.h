// The small text files of the block layer: /proc/swaps, sysfs uevent files and the udev
// database's device records (/run/udev/data/bMAJOR:MINOR).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

// "Filename Type Size Used Priority" lines (sizes in KiB; the name escaped like mount points).
// The kind is "zram" for a /dev/zram device, else the kernel's "partition" or "file"; a line of
// another type, or one whose numbers do not parse, is skipped. At most limit areas.
std::vector<SwapArea> parse_swaps(std::string_view text, std::size_t limit);

// The value of the first line "KEY=VALUE" whose key is key: uevent files ("PARTNAME"), and
// the udev database with its prefixes ("E:ID_FS_TYPE").
std::optional<std::string_view> assignment_value(std::string_view text, std::string_view key);

// udev's escapes of unsafe characters in encoded values ("ID_FS_LABEL_ENC"): "\x20" is a
// space. Anything else is kept as it is.
std::string unescape_hex(std::string_view value);

// The eMMC an eMMC boot or RPMB area belongs to: "mmcblk0boot1" and "mmcblk0rpmb" give
// "mmcblk0"; empty for every other name. These areas are block devices of their own, but
// parts of their eMMC.
std::string_view emmc_area_parent(std::string_view name);

// What the udev database says about a block device.
struct UdevBlock {
    std::string filesystem;       // ID_FS_TYPE
    std::string label;            // ID_FS_LABEL_ENC decoded, else ID_FS_LABEL
    std::string uuid;             // ID_FS_UUID
    std::string partition_table;  // ID_PART_TABLE_TYPE (on a disk)
    std::string part_name;        // ID_PART_ENTRY_NAME decoded
    std::string part_uuid;        // ID_PART_ENTRY_UUID
    std::string part_type;        // ID_PART_ENTRY_TYPE
};
UdevBlock parse_udev_block(std::string_view record);

}  // namespace nadrel

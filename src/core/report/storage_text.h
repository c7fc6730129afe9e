// The texts of storage values shared by the STORAGE rows and the attention findings: RAID
// levels and states, the layers a volume sits on, file system signatures and used space.
#pragma once

#include <string>
#include <string_view>

#include "core/snapshot.h"
#include "core/storage/stack.h"

namespace nadrel {

// "raid1" gives "RAID1"; other md personalities ("linear", "container") are kept.
std::string raid_level_text(std::string_view level);
// "2 disks", "3 of 4 disks" when some are missing, "1 disk"; empty when not known.
std::string array_disks_text(const RaidArray& array);
// "degraded" when a member is missing, else md's own word ("clean", "active", "inactive").
std::string array_state_text(const RaidArray& array);
// "md1 (RAID5, 3 of 4 disks, degraded)".
std::string array_item(const RaidArray& array);

// One layer of a stack: "LUKS", "LVM", "RAID1", "multipath", "loop"; with the name, "LVM
// vg0/root", "RAID1 md0", "multipath mpatha", "loop0".
std::string layer_text(const BlockNode& node, bool named);
// An LVM map's name as volume group and logical volume: "vg0-root" gives "vg0/root" (a "-"
// inside either name is doubled in the map's name); other names as they are.
std::string lvm_name(std::string_view map_name);

// A signature as users know it: "crypto_LUKS" gives "LUKS", "LVM2_member" "LVM PV",
// "linux_raid_member" "RAID member"; others as they are.
std::string filesystem_text(std::string_view filesystem);

// "17.4GB of 252GB": the space used of the whole.
std::string usage_text(const VolumeUsage& usage);

}  // namespace nadrel

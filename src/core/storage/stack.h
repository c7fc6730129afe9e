// How the block devices of a snapshot are built on each other (LUKS on a partition, LVM on
// LUKS, RAID on disks): one index by kernel name, and walks down and up the stack that stop at
// cycles and at fixed depths, whatever the holders and slaves links claim.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/snapshot.h"

namespace nadrel {

enum class BlockKind : std::uint8_t { Disk, Partition, Mapped, Raid, Loop };

struct BlockNode {
    BlockKind kind = BlockKind::Disk;
    std::string_view name;  // kernel name
    std::uint64_t size = 0;
    const BlockContent* content = nullptr;
    const MappedDevice* mapped = nullptr;  // set for Mapped
    const RaidArray* raid = nullptr;       // set for Raid
};

// Every disk, partition, mapped device, array and loop device by kernel name; the first of
// two with one name wins. Points into the snapshot, which must outlive it.
struct BlockIndex {
    std::unordered_map<std::string_view, BlockNode> nodes;
    const BlockNode* find(std::string_view name) const;
};
BlockIndex index_blocks(const SystemSnapshot& s);

inline constexpr std::size_t max_stack_depth = 8;
inline constexpr std::size_t max_stack_paths = 16;

// The device itself and the layers under it, top down, while they are mapped devices, arrays
// or loop devices (the first slave or member at each step): for vg0-root on LUKS, [dm-1,
// dm-0]. A partition or disk ends the walk and is not included.
std::vector<const BlockNode*> layers_below(const BlockIndex& index, std::string_view name);

// Every path up from a device through what holds it to a device nothing holds, bottom up and
// without the device itself: for a LUKS partition with three logical volumes, [dm-0, dm-1],
// [dm-0, dm-2], [dm-0, dm-3]. No device twice in one path; at most max_stack_paths paths of
// at most max_stack_depth devices.
std::vector<std::vector<const BlockNode*>> paths_above(const BlockIndex& index,
                                                       std::string_view name);

// "crypt", "lvm", "multipath" or "other", from the prefix of the map's UUID.
std::string_view mapped_kind(std::string_view uuid);
// A crypt map's format from its UUID ("CRYPT-LUKS2-..." gives "LUKS2"); empty for others.
std::string_view crypt_format(std::string_view uuid);

// The device's name when the kernel's is not what users know: the map's name for a mapped
// device ("vg0-root"), else the kernel name.
std::string_view display_name(const BlockNode& node);

}  // namespace nadrel

// What in the storage needs attention: a RAID array running without some of its disks, and a
// local file system with less than 5% of its space left.
#pragma once

#include <vector>

#include "core/attention.h"
#include "core/snapshot.h"

namespace nadrel {

// One item per array with a member missing (md's degraded count above 0).
std::vector<AttentionItem> degraded_arrays(const SystemSnapshot& s);

// One item per measured, writable file system whose space free to users is below 5% of what
// users can have (used plus available, as df counts it). Images that are full by design
// (squashfs, erofs, cramfs) are left out.
std::vector<AttentionItem> nearly_full_filesystems(const SystemSnapshot& s);

}  // namespace nadrel

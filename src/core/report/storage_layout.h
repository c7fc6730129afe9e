// The STORAGE rows beyond the disks themselves: each disk's partition table (detail), the
// mounted volumes, the RAID arrays, swap and, in detail, the loop devices.
#pragma once

#include <vector>

#include "core/report/report.h"
#include "core/snapshot.h"
#include "core/storage/stack.h"

namespace nadrel {

// The column table of a disk's partitions (or of what the whole disk holds): Partition, Size,
// Type/Label, Filesystem, Mounted on, Used; a partition with devices built on it gets one line
// per stack ("LUKS → LVM vg0/root → ext4" mounted on /). Nothing for a disk that holds nothing
// known.
std::vector<ReportRow> partition_rows(const SystemSnapshot& s, const BlockIndex& index,
                                      const DiskInfo& disk);

// "Volumes", "Arrays" and "Swap" (lists in the summary; a volume table and array groups in
// detail), then in detail "Loop devices".
std::vector<ReportRow> layout_rows(const SystemSnapshot& s, const BlockIndex& index, bool detail);

}  // namespace nadrel

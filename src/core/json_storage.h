// The storage parts of the --json document: what each disk holds, and the mounted volumes,
// arrays, device-mapper devices, swap areas and loop devices.
#pragma once

#include "core/json_values.h"
#include "core/snapshot.h"

namespace nadrel::json {

// Adds partition_table, the disk's own content and partitions to one disk's object.
void add_disk_layout(Json& disk, const DiskInfo& d, const JsonOptions& o);

// Adds volumes, arrays, device_mapper, swap and loop_devices to the document.
void add_storage(Json& doc, const SystemSnapshot& s, const JsonOptions& o);

}  // namespace nadrel::json

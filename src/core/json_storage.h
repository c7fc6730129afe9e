// The storage parts of the --json document as field lists: what each disk holds, and the
// mounted volumes, arrays, device-mapper devices, swap areas and loop devices.
#pragma once

#include "core/json_fields.h"
#include "core/snapshot.h"

namespace nadrel::json {

// partition_table, the disk's own content and its partitions, after a disk's other keys.
Fields<DiskInfo> disk_layout_fields();

// volumes, arrays, device_mapper, swap and loop_devices, in the document's order.
Fields<SystemSnapshot> storage_fields();

}  // namespace nadrel::json

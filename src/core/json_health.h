// The health parts of the --json document as field lists: findings, sensors, batteries and the
// state values the system, processor and memory objects gain, each key written and read back
// side by side like the rest of the document.
#pragma once

#include "core/json_fields.h"
#include "core/snapshot.h"

namespace nadrel::json {

// "attention": the findings, written from the values they are found in (never read back: a
// loaded snapshot finds them again).
Field<SystemSnapshot> attention_field();

// Keys added to the system, cpu and memory objects and to each memory module and disk.
Fields<SystemSnapshot> system_state_fields();
Fields<CpuInfo> cpu_state_fields();
Fields<SystemSnapshot> memory_state_fields();
Fields<MemoryModule> module_error_fields();
Fields<DiskInfo> disk_temperature_fields();

// "battery" (the first pack's capacity keys, null without one), "batteries", "device_batteries",
// "ac_online" and "sensors", in the document's order.
Fields<SystemSnapshot> power_and_sensor_fields();

}  // namespace nadrel::json

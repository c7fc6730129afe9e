// The health parts of the --json document: findings, sensors, batteries and the state values
// the system, processor and memory objects gain.
#pragma once

#include "core/json_values.h"
#include "core/snapshot.h"

namespace nadrel::json {

Json attention_json(const SystemSnapshot& s);
Json sensors_json(const SystemSnapshot& s);
// One pack: its capacity keys (the "battery" object) and, with state, its present state.
Json battery_json(const BatteryInfo& b, const JsonOptions& o, bool state);
Json batteries_json(const SystemSnapshot& s, const JsonOptions& o);
Json device_batteries_json(const SystemSnapshot& s);
Json ac_online_json(const SystemSnapshot& s);

// Keys added to the system, cpu and memory objects and to each memory module and disk.
void add_system_state(Json& system, const SystemSnapshot& s);
void add_cpu_state(Json& cpu, const CpuInfo& c);
void add_memory_state(Json& memory, const SystemSnapshot& s);
void add_module_errors(Json& module, const MemoryModule& m);
void add_disk_temperature(Json& disk, const DiskInfo& d);

}  // namespace nadrel::json

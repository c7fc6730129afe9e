// Every hardware-monitor channel (/sys/class/hwmon) and thermal zone (/sys/class/thermal),
// read once: shared by the report, the JSON and the live card.
#pragma once

#include <vector>

#include "core/snapshot.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// The channels chip by chip (sorted by chip name and device, since hwmon numbers change
// across boots), then the thermal zones no chip already shows. A disk's own sensor (an NVMe
// controller's, a SATA drive's drivetemp) names that disk.
std::vector<Sensor> collect_sensors(const SysRoot& root, const std::vector<DiskInfo>& disks = {});

// Gives each disk the temperature of its own sensor.
void attach_disk_temperatures(std::vector<DiskInfo>& disks, const std::vector<Sensor>& sensors);

}  // namespace nadrel

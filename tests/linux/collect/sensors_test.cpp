// Hardware monitors and thermal zones on trees shaped like sysfs.
#include "linux/collect/sensors.h"

#include <gtest/gtest.h>

#include "support/sysfs_tree.h"
#include "support/temp_dir.h"

namespace nadrel {
namespace {

using test::kernel_link;

// A chip under parent, linked from /sys/class/hwmon as the kernel does it.
void chip(const test::TempDir& t, const std::string& hwmon, const std::string& parent,
          const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string dir = parent + "/" + hwmon;
    for (const auto& [name, text] : files)
        t.write(dir + "/" + name, text + "\n");
    kernel_link(t, dir + "/device", parent);
    kernel_link(t, "sys/class/hwmon/" + hwmon, dir);
}

std::vector<std::string> rows(const std::vector<Sensor>& sensors) {
    std::vector<std::string> out;
    for (const Sensor& s : sensors) {
        out.push_back(s.chip + "|" + s.device + "|" + s.label + "|" + std::to_string(s.value) +
                      "|" + (s.max ? std::to_string(*s.max) : "-") + "|" +
                      (s.critical ? std::to_string(*s.critical) : "-") + "|" + s.disk);
    }
    return out;
}

TEST(Sensors, ChannelsFansZonesAndDisks) {
    test::TempDir t;
    // Chips sorted by name and device whatever their hwmon numbers; channels by kind and number.
    chip(t, "hwmon0", "sys/devices/platform/nct6775.656",
         {{"name", "nct6798"},
          {"fan10_input", "900"},
          {"fan2_input", "0"},  // a minimum set: a fan is there, stopped
          {"fan2_min", "300"},
          {"fan3_input", "0"},  // under automatic control
          {"pwm3_enable", "5"},
          {"fan4_input", "0"},  // no minimum, no control: no fan
          {"pwm4_enable", "0"},
          {"fan5_input", "0"},
          {"fan5_min", "0"},
          {"fan6_input", "-300"},
          {"power1_input", "2000000"},
          {"power1_average", "9000000"},  // the instant value wins
          {"power2_average", "4500000"},
          {"temp1_input", "text"},
          {"in0_input", "1032"},
          {"in0_max", "0"}});
    chip(t, "hwmon1", "sys/devices/platform/coretemp.0",
         {{"name", "coretemp"}, {"temp2_input", "42000"}, {"temp2_label", "  "}});
    // An NVMe namespace behind its subsystem: the controller's chip names it by name.
    chip(t, "hwmon2", "sys/devices/pci0000:00/0000:00:06.0/0000:02:00.0/nvme/nvme0",
         {{"name", "nvme"},
          {"temp1_input", "38850"},
          {"temp1_label", "Composite"},
          {"temp1_crit", "65261850"},
          {"temp2_input", "-273150"}});
    t.write("sys/devices/virtual/nvme-subsystem/nvme-subsys0/nvme0n1/size", "1\n");
    // A zone without a chip of its own is listed as the zone (with one, the fixture machines'
    // goldens show it once, as the chip), its passive trip ignored.
    const std::string zone1 = "sys/devices/virtual/thermal/thermal_zone1";
    t.write(zone1 + "/type", "x86_pkg_temp\n");
    t.write(zone1 + "/temp", "46000\n");
    t.write(zone1 + "/trip_point_0_type", "passive\n");
    t.write(zone1 + "/trip_point_0_temp", "90000\n");
    t.write(zone1 + "/trip_point_1_type", "critical\n");
    t.write(zone1 + "/trip_point_1_temp", "105000\n");
    t.write(zone1 + "/trip_point_2_type", "hot\n");
    t.write(zone1 + "/trip_point_2_temp", "95000\n");
    kernel_link(t, "sys/class/thermal/thermal_zone1", zone1);
    // A zone whose link loops is left out.
    t.symlink("sys/class/thermal/thermal_zone2", "thermal_zone2");

    std::vector<DiskInfo> disks(1);
    disks[0].name = "nvme0n1";
    const std::vector<Sensor> s = collect_sensors(SysRoot(t.path()), disks);
    EXPECT_EQ(rows(s), (std::vector<std::string>{
                           "coretemp|coretemp.0|temp2|42.000000|-|-|",
                           "nct6798|nct6775.656|fan2|0.000000|-|-|",
                           "nct6798|nct6775.656|fan3|0.000000|-|-|",
                           "nct6798|nct6775.656|fan10|900.000000|-|-|",
                           "nct6798|nct6775.656|in0|1.032000|-|-|",
                           "nct6798|nct6775.656|power1|2.000000|-|-|",
                           "nct6798|nct6775.656|power2|4.500000|-|-|",
                           "nvme|nvme0|Composite|38.850000|-|-|nvme0n1",
                           "x86_pkg_temp|thermal_zone1|temp1|46.000000|95.000000|105.000000|",
                       }));
    attach_disk_temperatures(disks, s);
    EXPECT_EQ(disks[0].temperature_c, 38.85);
}

TEST(Sensors, ChannelsAreCappedBeforeTheyAreRead) {
    test::TempDir t;
    std::vector<std::pair<std::string, std::string>> files = {{"name", "many"}};
    for (int i = 1; i <= 1100; ++i)
        files.emplace_back("temp" + std::to_string(i) + "_input", "30000");
    chip(t, "hwmon0", "sys/devices/platform/many", files);
    chip(t, "hwmon1", "sys/devices/platform/late", {{"name", "late"}, {"temp1_input", "30000"}});
    const std::vector<Sensor> s = collect_sensors(SysRoot(t.path()));
    ASSERT_EQ(s.size(), 1024u);
    EXPECT_EQ(s.back().label, "temp1024");
}

}  // namespace
}  // namespace nadrel

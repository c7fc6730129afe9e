// The metrics text: families once, no series twice, label values quoted as the format wants.
#include "core/prometheus.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace nadrel {
namespace {

TEST(Prometheus, LabelValuesAreEscaped) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {"a\\b", "a\\\\b"},
        {"say \"hi\"", "say \\\"hi\\\""},
        {"two\nlines", "two\\nlines"},
        {"\\\"\n", "\\\\\\\"\\n"},
    };
    for (const auto& [value, quoted] : cases)
        EXPECT_EQ(prometheus_label_value(value), quoted) << value;
}

// Two identical cards, two identical modules in one slot (a lying table), serials hidden.
TEST(Prometheus, EachSeriesOnceAndEachFamilyTogether) {
    SystemSnapshot s;
    s.gpus = {{"RTX", "NVIDIA", {}, "", 0, 0x10DE, 1, 0, 0, 0, "", "", {}},
              {"RTX", "NVIDIA", {}, "", 0, 0x10DE, 1, 0, 0, 0, "", "", {}}};
    MemoryModule m{"DIMM \"A\"", "DDR5", "", "", "", 1024, 0, 0, 0, 0, 0, 0, "SN1", "", ""};
    s.memory_modules = {m, m};
    s.batteries = {{"", "", 3, 50000, 40000, 0, ""}};
    s.batteries[0].name = "BAT0";
    s.sensors = {{"k10temp", "0000:00:18.3", "Tctl", SensorKind::Temperature, 48.5, {}, 95.0}};
    s.memory_modules[0].corrected_errors = 14;
    s.memory_edac = {{"mc0", "", 2, 0}};
    PciDevice& gpu = s.pci_devices.emplace_back();
    gpu.address = "0000:01:00.0";
    gpu.link = PcieLink{16000, 16, 16000, 8, 16000, 16};
    gpu.link_judged = true;
    const std::string text = prometheus_text(s, {true, "1.2.3"});
    std::set<std::string> families;
    std::set<std::string> series;
    std::string current;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("# HELP ")) {
            current = line.substr(7, line.find(' ', 7) - 7);
            EXPECT_TRUE(families.insert(current).second) << "family twice: " << current;
            continue;
        }
        if (line.starts_with("# TYPE "))
            continue;
        EXPECT_TRUE(line.starts_with(current)) << "outside its family: " << line;
        EXPECT_TRUE(series.insert(line.substr(0, line.rfind(' '))).second) << line;
    }
    EXPECT_NE(text.find("nadrel_info{version=\"1.2.3\"} 1\n"), std::string::npos);
    EXPECT_NE(text.find("nadrel_gpu_info{index=\"1\",name=\"RTX\""), std::string::npos);
    EXPECT_NE(text.find("locator=\"DIMM \\\"A\\\"\""), std::string::npos);
    EXPECT_EQ(text.find("SN1"), std::string::npos);
    EXPECT_NE(text.find("\nnadrel_battery_wear_ratio{battery=\"BAT0\"} 0.2\n"), std::string::npos);
    EXPECT_NE(text.find("# TYPE nadrel_battery_cycles_total counter\n"), std::string::npos);
    EXPECT_NE(prometheus_text(s, {false, "1"}).find("serial=\"SN1\""), std::string::npos);
    for (const char* line :
         {"nadrel_sensor_celsius{chip=\"k10temp\",device=\"0000:00:18.3\",label=\"Tctl\"} 48.5\n",
          "nadrel_sensor_critical_celsius{chip=\"k10temp\",device=\"0000:00:18.3\","
          "label=\"Tctl\"} 95\n",
          "nadrel_memory_errors_total{locator=\"DIMM \\\"A\\\"\",bank_locator=\"\","
          "kind=\"corrected\"} 14\n",
          "nadrel_memory_errors_total{controller=\"mc0\",label=\"\",kind=\"corrected\"} 2\n",
          "nadrel_pci_link_below_capability{address=\"0000:01:00.0\"} 1\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace nadrel

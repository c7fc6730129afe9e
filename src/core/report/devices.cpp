// Report rows: DEVICES (every PCI function with its class, names, driver and link; detail only).
#include "core/report/column_table.h"
#include "core/report/device_text.h"
#include "core/report/sections.h"

namespace nadrel {

std::vector<ReportRow> devices_rows(const SystemSnapshot& s, bool detail) {
    if (!detail)
        return {};
    std::vector<std::vector<std::string>> cells;
    cells.reserve(s.pci_devices.size());
    for (const PciDevice& device : s.pci_devices) {
        cells.push_back({device.address, pci_class_text(device), pci_device_text(device),
                         device.driver, pci_link_text(device)});
    }
    return column_table({"Address", "Class", "Device", "Driver", "Link"}, cells);
}

}  // namespace nadrel

// Device findings: degraded PCI Express links and USB 3 devices at USB 2 speed.
#include "core/device_attention.h"

#include "core/links.h"
#include "core/report/device_text.h"
#include "core/report/format.h"

namespace nadrel {

namespace {

// PCI base class 03: display controllers. Their drivers lower the link speed at idle while
// the device stays in D0, so a slow link there cannot be told from a power-saving drop.
bool is_display_controller(const PciDevice& d) {
    return d.class_code && (*d.class_code >> 16) == 0x03;
}

std::string pci_subject_name(const PciDevice& d) {
    return d.device_name.empty() ? pci_device_text(d) : d.device_name;
}

}  // namespace

std::vector<AttentionItem> pci_link_attention(const SystemSnapshot& s) {
    std::vector<AttentionItem> items;
    for (const PciDevice& d : s.pci_devices) {
        if (!d.link || !d.link_judged)
            continue;
        const auto shortfall = link_shortfall(*d.link);
        if (!shortfall)
            continue;
        const bool slow = shortfall->speed && d.low_power == false && !is_display_controller(d);
        if (!shortfall->width && !slow)
            continue;
        const PcieLink& l = *d.link;
        std::string name = pci_subject_name(d);
        name += name.empty() ? d.address : " (" + d.address + ")";
        items.push_back({"pci_link", d.address,
                         name + " runs at " + pcie_link_text(l.current_mts, l.current_width) +
                             ", capable of " + pcie_link_text(capable_mts(l), capable_width(l))});
    }
    return items;
}

std::vector<AttentionItem> usb_speed_attention(const SystemSnapshot& s) {
    std::vector<AttentionItem> items;
    for (const UsbDevice& d : s.usb_devices) {
        if (!usb_below_capability(d))
            continue;
        const std::string name = d.name.empty() ? "USB device" : d.name;
        items.push_back({"usb_speed", d.port_path,
                         name + " (" + d.port_path + ") runs at " + format_speed(d.speed_mbps) +
                             ", USB 2 speed, though it is a USB " + d.version + " device"});
    }
    return items;
}

}  // namespace nadrel

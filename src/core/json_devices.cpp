// The device inventory in the --json document, typed as the rest of it: identifiers as lspci -n
// writes them, numbers in the units their keys name, null for what is not known.
#include "core/json_devices.h"

#include "core/links.h"

namespace nadrel::json {

namespace {

// PCI base class 04 (multimedia): 01 audio, 03 HD Audio (PCI Code and ID Assignment).
bool is_audio_controller(const PciDevice& d) {
    if (!d.class_code)
        return false;
    const std::uint32_t cls = *d.class_code >> 8;
    return cls == 0x0401 || cls == 0x0403;
}

Json link_json(const PciDevice& d) {
    if (!d.link)
        return nullptr;
    const PcieLink& l = *d.link;
    const auto below = below_capability(d);
    return {{"speed_gts", gts(l.current_mts)},
            {"width", known(l.current_width)},
            {"max_speed_gts", gts(l.max_mts)},
            {"max_width", known(l.max_width)},
            {"port_max_speed_gts", gts(l.port_max_mts)},
            {"port_max_width", known(l.port_max_width)},
            {"below_capability", below ? Json(*below) : Json(nullptr)}};
}

template <typename T>
Json optional_number(const std::optional<T>& value) {
    return value ? Json(*value) : Json(nullptr);
}

}  // namespace

Json pci_devices_json(const SystemSnapshot& s) {
    Json list = Json::array();
    for (const PciDevice& d : s.pci_devices) {
        list.push_back(
            {{"address", text(d.address)},
             {"class_id", d.class_code ? Json(strfmt("%04x", *d.class_code >> 8)) : Json(nullptr)},
             {"class", text(d.class_name)},
             {"vendor_id", hex_id(d.vendor_id, 4)},
             {"device_id", hex_id(d.device_id, 4)},
             {"subsystem_vendor_id", hex_id(d.subsystem_vendor_id, 4)},
             {"subsystem_device_id", hex_id(d.subsystem_device_id, 4)},
             {"revision", d.revision ? Json(strfmt("%02x", *d.revision)) : Json(nullptr)},
             {"vendor", text(d.vendor)},
             {"name", text(d.subsystem_name.empty() ? d.device_name : d.subsystem_name)},
             {"device_name", text(d.device_name)},
             {"subsystem_name", text(d.subsystem_name)},
             {"driver", text(d.driver)},
             {"module", text(d.module)},
             {"driver_version", text(d.driver_version)},
             {"numa_node", optional_number(d.numa_node)},
             {"iommu_group", optional_number(d.iommu_group)},
             {"link", link_json(d)},
             {"low_power", optional_number(d.low_power)}});
    }
    return list;
}

Json audio_controllers_json(const SystemSnapshot& s) {
    Json list = Json::array();
    for (const PciDevice& d : s.pci_devices) {
        if (is_audio_controller(d)) {
            list.push_back({{"name", text(d.device_name)},
                            {"driver", text(d.driver)},
                            {"pci_address", text(d.address)}});
        }
    }
    return list;
}

Json connectors_json(const GpuInfo& gpu) {
    Json list = Json::array();
    for (const DrmConnector& c : gpu.connectors)
        list.push_back({{"name", text(c.name)}, {"connected", c.connected}});
    return list;
}

Json addresses_json(const NetAdapter& adapter, const JsonOptions& options) {
    Json list = Json::array();
    for (const NetAddress& a : adapter.addresses) {
        list.push_back({{"family", a.ipv6 ? "ipv6" : "ipv4"},
                        {"address", ident(a.address, options)},
                        {"prefix_length", known(a.prefix_length)}});
    }
    return list;
}

Json usb_interfaces_json(const UsbDevice& device) {
    Json list = Json::array();
    for (const UsbInterface& i : device.interfaces) {
        list.push_back(
            {{"number", i.number},
             {"class_id", i.class_id ? Json(strfmt("%02x", unsigned{*i.class_id})) : Json(nullptr)},
             {"class", text(i.class_name)},
             {"driver", text(i.driver)}});
    }
    return list;
}

}  // namespace nadrel::json

// The device inventory in the --json document, typed as the rest of it: identifiers as lspci -n
// writes them, numbers in the units their keys name, null for what is not known.
#include "core/json_devices.h"

#include "core/links.h"

namespace nadrel::json {

namespace {

using S = SystemSnapshot;

// PCI base class 04 (multimedia): 01 audio, 03 HD Audio (PCI Code and ID Assignment).
bool is_audio_controller(const PciDevice& d) {
    if (!d.class_code)
        return false;
    const std::uint32_t cls = *d.class_code >> 8;
    return cls == 0x0401 || cls == 0x0403;
}

// An identifier that may be unreadable, as lspci -n writes it ("01", "0106"); shift drops the
// bytes the document does not hold (a class code's programming interface).
template <typename T, typename N>
Field<T> optional_hex(std::string_view key, std::optional<N> T::*p, int digits, int shift = 0) {
    return Keys<T>::custom(
        key,
        [p, digits, shift](const T& t) {
            const std::optional<N>& value = t.*p;
            return value ? Json(strfmt("%0*x", digits, static_cast<unsigned>(*value >> shift)))
                         : Json(nullptr);
        },
        [p, digits, shift](const Json& j, T& t) -> ReadResult {
            if (j.is_null()) {
                (t.*p).reset();
                return std::nullopt;
            }
            N value = 0;
            if (auto error = read_hex(j, value, static_cast<std::size_t>(digits)))
                return error;
            t.*p = static_cast<N>(value << shift);
            return std::nullopt;
        });
}

Fields<PcieLink> link_fields() {
    using K = Keys<PcieLink>;
    using L = PcieLink;
    const auto rate = [](std::string_view key, std::uint32_t L::*p) {
        return K::custom(
            key, [p](const L& l) { return gts(l.*p); },
            [p](const Json& j, L& l) { return read_gts(j, l.*p); });
    };
    return {
        rate("speed_gts", &L::current_mts),
        K::known("width", &L::current_width),
        rate("max_speed_gts", &L::max_mts),
        K::known("max_width", &L::max_width),
        rate("port_max_speed_gts", &L::port_max_mts),
        K::known("port_max_width", &L::port_max_width),
    };
}

// A function's link, with the judgement of it: judged only where the document gives one (a
// judgement it could not make is left out as well).
Field<PciDevice> link_field() {
    return Keys<PciDevice>::custom(
        "link",
        [](const PciDevice& d) -> Json {
            if (!d.link)
                return nullptr;
            Json j = write_object(*d.link, link_fields(), {});
            const auto below = below_capability(d);
            j["below_capability"] = below ? Json(*below) : Json(nullptr);
            return j;
        },
        [](const Json& j, PciDevice& d) -> ReadResult {
            d.link.reset();
            d.link_judged = false;
            if (j.is_null())
                return std::nullopt;
            if (auto error = read_object(j, d.link.emplace(), link_fields()))
                return error;
            const auto below = j.find("below_capability");
            d.link_judged = below != j.end() && below->is_boolean();
            return std::nullopt;
        });
}

Fields<PciDevice> pci_fields() {
    using K = Keys<PciDevice>;
    using D = PciDevice;
    return {
        K::text("address", &D::address),
        optional_hex("class_id", &D::class_code, 4, 8),
        K::text("class", &D::class_name),
        K::hex("vendor_id", &D::vendor_id),
        K::hex("device_id", &D::device_id),
        K::hex("subsystem_vendor_id", &D::subsystem_vendor_id),
        K::hex("subsystem_device_id", &D::subsystem_device_id),
        optional_hex("revision", &D::revision, 2),
        K::text("vendor", &D::vendor),
        K::derived("name",
                   [](const D& d) {
                       return text(d.subsystem_name.empty() ? d.device_name : d.subsystem_name);
                   }),
        K::text("device_name", &D::device_name),
        K::text("subsystem_name", &D::subsystem_name),
        K::text("driver", &D::driver),
        K::text("module", &D::module),
        K::text("driver_version", &D::driver_version),
        K::maybe("numa_node", &D::numa_node),
        K::maybe("iommu_group", &D::iommu_group),
        link_field(),
        K::custom(
            "low_power", [](const D& d) { return d.low_power ? Json(*d.low_power) : Json(); },
            [](const Json& j, D& d) { return read_optional_flag(j, d.low_power); }),
    };
}

Fields<NetAddress> address_fields() {
    using K = Keys<NetAddress>;
    return {
        K::word("family", &NetAddress::ipv6,
                std::vector<Word<bool>>{{false, "ipv4"}, {true, "ipv6"}}),
        K::ident("address", &NetAddress::address),
        K::known("prefix_length", &NetAddress::prefix_length),
    };
}

Fields<UsbInterface> interface_fields() {
    using K = Keys<UsbInterface>;
    using I = UsbInterface;
    return {
        K::number("number", &I::number),
        optional_hex("class_id", &I::class_id, 2),
        K::text("class", &I::class_name),
        K::text("driver", &I::driver),
    };
}

}  // namespace

Fields<GpuInfo> gpu_device_fields() {
    using K = Keys<GpuInfo>;
    using C = DrmConnector;
    return {
        K::text("pci_address", &GpuInfo::pci_address),
        K::text("driver", &GpuInfo::driver),
        K::list(
            "connectors", &GpuInfo::connectors,
            Fields<C>{Keys<C>::text("name", &C::name), Keys<C>::flag("connected", &C::connected)}),
    };
}

Fields<DisplayInfo> display_connector_fields() {
    using K = Keys<DisplayInfo>;
    return {
        K::text("connector", &DisplayInfo::connector),
        K::text("gpu_pci_address", &DisplayInfo::gpu_pci_address),
    };
}

Fields<DiskInfo> disk_driver_fields() {
    using K = Keys<DiskInfo>;
    return {
        K::text("driver", &DiskInfo::driver),
        K::text("pci_address", &DiskInfo::pci_address),
    };
}

Fields<NetAdapter> network_device_fields() {
    using K = Keys<NetAdapter>;
    using A = NetAdapter;
    return {
        K::text("pci_address", &A::pci_address),
        K::text("driver", &A::driver),
        K::text("firmware_version", &A::firmware_version),
        K::known("mtu", &A::mtu),
        K::text("duplex", &A::duplex),
        K::list("addresses", &A::addresses, address_fields()),
    };
}

Fields<UsbDevice> usb_device_fields() {
    using K = Keys<UsbDevice>;
    using U = UsbDevice;
    return {
        K::known("bus", &U::bus),
        K::text("port_path", &U::port_path),
        K::text("version", &U::version),
        K::list("interfaces", &U::interfaces, interface_fields()),
        K::derived("below_capability", [](const U& u) { return Json(usb_below_capability(u)); }),
    };
}

Field<S> audio_controllers_field() {
    return Keys<S>::derived("controllers", [](const S& s) {
        Json list = Json::array();
        for (const PciDevice& d : s.pci_devices) {
            if (is_audio_controller(d)) {
                list.push_back({{"name", text(d.device_name)},
                                {"driver", text(d.driver)},
                                {"pci_address", text(d.address)}});
            }
        }
        return list;
    });
}

Field<S> pci_devices_field() {
    return Keys<S>::list("pci_devices", &S::pci_devices, pci_fields());
}

}  // namespace nadrel::json

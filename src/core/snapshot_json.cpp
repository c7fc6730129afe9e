// The snapshot as a JSON document (nlohmann ordered_json, so keys keep the order written here).
// Units sit in the key names; 0 and empty texts, which mean "not known" in the snapshot, are null.
#include "core/snapshot_json.h"

#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string_view>

#include "core/ids/cpu_codename.h"
#include "core/json_devices.h"
#include "core/json_health.h"
#include "core/json_storage.h"
#include "core/json_values.h"
#include "core/links.h"
#include "core/report/device_text.h"
#include "core/smbios/snapshot.h"
#include "core/text/clean_text.h"
#include "core/text/fmt.h"
#include "core/text/names.h"

namespace nadrel {

namespace {

using namespace json;

// "(kernel 6.1.0-13-amd64)" -> "6.1.0-13-amd64".
Json kernel_release(std::string_view kernel) {
    constexpr std::string_view prefix = "(kernel ";
    if (kernel.starts_with(prefix) && kernel.ends_with(')'))
        kernel = kernel.substr(prefix.size(), kernel.size() - prefix.size() - 1);
    return text(kernel);
}

Json on_off(std::string_view value) {
    if (value == "On")
        return true;
    if (value == "Off")
        return false;
    return nullptr;
}

Json system_json(const SystemSnapshot& s, const JsonOptions& o) {
    Json j;
    j["hostname"] = ident(s.hostname, o);
    j["os"] = text(s.os_name);
    j["kernel"] = kernel_release(s.kernel);
    j["os_installed"] = text(s.os_installed);
    j["machine_id"] = ident(s.ids.machine_id, o);
    j["vendor"] = text(s.dmi.sys_vendor);
    j["product"] = text(s.dmi.product_name);
    j["sku"] = text(s.dmi.product_sku);
    j["serial"] = ident(s.ids.system_serial, o);
    j["uuid"] = ident(s.ids.system_uuid, o);
    j["chassis"] = {{"type", text(s.chassis)},
                    {"serial", ident(s.ids.chassis_serial, o)},
                    {"asset_tag", ident(s.ids.chassis_asset_tag, o)}};
    j["tpm"] = text(s.tpm);
    j["secure_boot"] = on_off(s.secure_boot);
    j["virtual_machine"] = text(s.virtual_machine);
    add_system_state(j, s);
    return j;
}

Json cpu_json(const SystemSnapshot& s) {
    const CpuInfo& c = s.cpu;
    Json j;
    j["model"] = text(c.model);
    j["vendor"] = c.vendor_id ? text(*c.vendor_id) : Json(nullptr);
    const auto codename = shown_cpu_codename(c, !s.virtual_machine.empty());
    j["codename"] = codename ? text(codename->name) : Json(nullptr);
    j["process"] = codename ? text(codename->process) : Json(nullptr);
    // Without a vendor line there is no x86 signature; family 0 would then be a guess.
    j["family"] = c.vendor_id ? Json(c.family) : Json(nullptr);
    j["model_number"] = c.vendor_id ? Json(c.model_number) : Json(nullptr);
    j["stepping"] = c.vendor_id ? Json(c.stepping) : Json(nullptr);
    j["cores"] = known(c.cores);
    j["threads"] = known(c.threads);
    j["performance_cores"] = known(c.p_cores);
    j["efficiency_cores"] = known(c.e_cores);
    j["base_mhz"] = known(c.base_mhz);
    j["current_mhz"] = known(c.current_mhz);
    j["max_mhz"] = known(c.max_mhz);
    j["cache_totals"] = {{"l1_bytes", known(c.l1_total)},
                         {"l2_bytes", known(c.l2_total)},
                         {"l3_bytes", known(c.l3_total)}};
    Json caches = Json::array();
    for (const CacheInfo& cache : c.caches) {
        caches.push_back({{"level", cache.level},
                          {"type", text(cache.cache_type)},
                          {"size_bytes", known(cache.size)},
                          {"count", cache.count},
                          {"ways", known(cache.ways)},
                          {"line_size_bytes", known(cache.line_size)}});
    }
    j["caches"] = std::move(caches);
    j["features"] = text_list(c.features);
    j["socket"] = text(s.cpu_socket);
    j["sockets"] = known(s.cpu_sockets);
    j["sockets_populated"] = s.cpu_sockets == 0 ? Json(nullptr) : Json(s.cpu_sockets_populated);
    add_cpu_state(j, c);
    return j;
}

Json memory_json(const SystemSnapshot& s, const JsonOptions& o) {
    Json j;
    j["installed_bytes"] = known(s.memory_installed);
    j["available_bytes"] = known(s.memory_total);
    j["max_capacity_bytes"] = known(s.memory_max_capacity);
    j["slots"] = known(s.memory_slots);
    j["error_correction"] = text(s.memory_ecc);
    Json modules = Json::array();
    for (const MemoryModule& m : s.memory_modules) {
        Json module = {{"locator", text(m.locator)},
                       {"bank_locator", text(m.bank_locator)},
                       // At most 2^31 MiB (the extended size), below 2^53.
                       {"size_bytes", m.size},
                       {"type", text(m.memory_type)},
                       {"form_factor", text(m.form_factor)},
                       {"soldered", is_soldered(m)},
                       {"manufacturer", text(m.manufacturer)},
                       {"part_number", text(m.part_number)},
                       {"serial", ident(m.serial, o)},
                       {"asset_tag", ident(m.asset_tag, o)},
                       {"speed_mts", known(m.speed_mts)},
                       {"configured_speed_mts", known(m.configured_speed_mts)},
                       {"configured_voltage_mv", known(m.configured_voltage_mv)},
                       {"data_width_bits", known(m.data_width)},
                       {"total_width_bits", known(m.total_width)},
                       {"rank", known(m.rank)}};
        add_module_errors(module, m);
        modules.push_back(std::move(module));
    }
    j["modules"] = std::move(modules);
    add_memory_state(j, s);
    return j;
}

Json gpus_json(const SystemSnapshot& s) {
    Json list = Json::array();
    for (const GpuInfo& g : s.gpus) {
        list.push_back(
            {{"name", text(gpu_name(g))},
             {"vendor", text(g.vendor)},
             {"vendor_id", hex_id(g.vendor_id, 4)},
             {"device_id", hex_id(g.device_id, 4)},
             {"subsystem_vendor_id", hex_id(g.subsystem_vendor_id, 4)},
             {"subsystem_device_id", hex_id(g.subsystem_device_id, 4)},
             // Revision 00 is real; it reads as 0 only when unreadable too.
             {"revision", g.vendor_id == 0 ? Json(nullptr) : Json(strfmt("%02x", g.revision))},
             {"vram_bytes", known(g.vram_total)},
             {"pcie_link", text(pcie_link_text(g.pcie_link))},
             {"link_gts", gts(g.pcie_link.max_mts)},
             {"link_width", known(g.pcie_link.max_width)},
             {"vbios_version", text(g.vbios_version)},
             {"pci_address", text(g.pci_address)},
             {"driver", text(g.driver)},
             {"connectors", connectors_json(g)}});
    }
    return list;
}

Json displays_json(const SystemSnapshot& s, const JsonOptions& o) {
    Json list = Json::array();
    for (const DisplayInfo& d : s.displays) {
        list.push_back({{"name", text(d.name)},
                        {"serial", ident(d.serial, o)},
                        {"width", known(d.width_px)},
                        {"height", known(d.height_px)},
                        {"refresh_hz", known(d.max_refresh_hz)},
                        {"diagonal_inches", known(d.diagonal_in)},
                        {"width_mm", known(d.width_mm)},
                        {"height_mm", known(d.height_mm)},
                        {"bits_per_color", known(d.bits_per_color)},
                        {"year", known(d.year)},
                        {"week", known(d.week)},
                        {"connector", text(d.connector)},
                        {"gpu_pci_address", text(d.gpu_pci_address)}});
    }
    return list;
}

Json disks_json(const SystemSnapshot& s, const JsonOptions& o) {
    Json list = Json::array();
    for (const DiskInfo& d : s.disks) {
        Json disk = {{"name", text(d.name)},
                     {"model", text(d.model)},
                     {"serial", ident(d.serial, o)},
                     {"size_bytes", known(d.size)},
                     {"bus", text(d.bus)},
                     {"solid_state", d.solid_state ? Json(*d.solid_state) : Json(nullptr)},
                     {"firmware", text(d.firmware)},
                     {"link", text(disk_link_text(d))},
                     {"link_gts", gts(d.pcie_link.max_mts)},
                     {"link_width", known(d.pcie_link.max_width)},
                     {"link_mbps", known(d.sata_mbps)},
                     {"logical_block_bytes", known(d.logical_block)},
                     {"physical_block_bytes", known(d.physical_block)},
                     // 1 is the standard's "non-rotating": no rate to give.
                     {"rpm", d.rpm > 1 ? Json(d.rpm) : Json(nullptr)},
                     {"driver", text(d.driver)},
                     {"pci_address", text(d.pci_address)}};
        add_disk_temperature(disk, d);
        add_disk_layout(disk, d, o);
        list.push_back(std::move(disk));
    }
    return list;
}

Json network_json(const SystemSnapshot& s, const JsonOptions& o) {
    Json list = Json::array();
    for (const NetAdapter& a : s.net_adapters) {
        list.push_back({{"interface", text(a.interface)},
                        {"name", text(adapter_name(a))},
                        {"kind", text(a.kind)},
                        {"mac", ident(a.mac, o)},
                        {"connected", a.link_up},
                        {"speed_mbps", known(a.speed_mbps)},
                        {"pci_address", text(a.pci_address)},
                        {"driver", text(a.driver)},
                        {"firmware_version", text(a.firmware_version)},
                        {"mtu", known(a.mtu)},
                        {"duplex", text(a.duplex)},
                        {"addresses", addresses_json(a, o)}});
    }
    return list;
}

Json board_json(const SystemSnapshot& s, const JsonOptions& o) {
    Json j;
    j["vendor"] = text(s.dmi.board_vendor);
    j["name"] = text(s.dmi.board_name);
    j["version"] = text(s.dmi.board_version);
    j["serial"] = ident(s.ids.board_serial, o);
    j["asset_tag"] = ident(s.ids.board_asset_tag, o);
    j["devicetree_model"] = text(s.devicetree_model);
    j["devicetree_compatible"] = text(s.devicetree_compatible);
    j["bios"] = {{"vendor", text(s.dmi.bios_vendor)},
                 {"version", text(s.dmi.bios_version)},
                 {"date", text(s.dmi.bios_date)},
                 {"rom_size_bytes", known(s.bios_rom_size)}};
    j["smbios_version"] = text(s.smbios_version);
    j["usb_ports"] = known(s.usb_ports);
    Json ports = Json::array();
    for (const PortConnector& p : s.ports)
        ports.push_back({{"designator", text(p.designator)}, {"type", text(p.port_type)}});
    j["ports"] = std::move(ports);
    Json slots = Json::array();
    for (const SystemSlot& slot : s.slots) {
        slots.push_back({{"designation", text(slot.designation)},
                         {"type", text(slot.slot_type)},
                         {"width", text(slot.width)},
                         {"usage", text(slot.usage)}});
    }
    j["slots"] = std::move(slots);
    return j;
}

Json usb_json(const SystemSnapshot& s) {
    Json list = Json::array();
    for (const UsbDevice& d : s.usb_devices) {
        list.push_back({{"name", text(d.name)},
                        {"vendor_id", hex_id(d.vendor_id, 4)},
                        {"product_id", hex_id(d.product_id, 4)},
                        {"speed_mbps", known(d.speed_mbps)},
                        {"depth", d.depth},
                        {"bus", known(d.bus)},
                        {"port_path", text(d.port_path)},
                        {"version", text(d.version)},
                        {"interfaces", usb_interfaces_json(d)},
                        {"below_capability", usb_below_capability(d)}});
    }
    return list;
}

}  // namespace

std::string rfc3339_utc(std::int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds t{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(t);
    const year_month_day date{day};
    const hh_mm_ss time{t - day};
    return strfmt("%04d-%02u-%02uT%02d:%02d:%02dZ", int{date.year()}, unsigned{date.month()},
                  unsigned{date.day()}, static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
}

std::string snapshot_json(const SystemSnapshot& s, const JsonOptions& options) {
    Json doc;
    doc["schema_version"] = json_schema_version;
    doc["generated"] = rfc3339_utc(options.generated);
    doc["sanitized"] = options.sanitized;
    doc["attention"] = attention_json(s);
    doc["system"] = system_json(s, options);
    doc["cpu"] = cpu_json(s);
    doc["memory"] = memory_json(s, options);
    doc["gpus"] = gpus_json(s);
    doc["displays"] = displays_json(s, options);
    doc["disks"] = disks_json(s, options);
    doc["optical_drives"] = text_list(s.optical_drives);
    add_storage(doc, s, options);
    doc["network"] = network_json(s, options);
    doc["board"] = board_json(s, options);
    doc["battery"] =
        s.batteries.empty() ? Json(nullptr) : battery_json(s.batteries.front(), options, false);
    doc["batteries"] = batteries_json(s, options);
    doc["device_batteries"] = device_batteries_json(s);
    doc["ac_online"] = ac_online_json(s);
    doc["sensors"] = sensors_json(s);
    doc["audio"] = {{"cards", text_list(s.sound_cards)},
                    {"endpoints", text_list(s.audio_devices)},
                    {"controllers", audio_controllers_json(s)}};
    doc["bluetooth"] = text_list(s.bluetooth);
    doc["usb"] = usb_json(s);
    doc["pci_devices"] = pci_devices_json(s);
    std::string out = doc.dump(2, ' ', false, Json::error_handler_t::replace);
    out += '\n';
    return out;
}

}  // namespace nadrel

// The snapshot as a JSON document (nlohmann ordered_json, so keys keep the order written here),
// and back. Units sit in the key names; 0 and empty texts, which mean "not known" in the
// snapshot, are null. Each section is one list of keys, each key written and read side by side:
// a new key is one line in its section's list.
#include "core/snapshot_json.h"

#include <chrono>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string_view>

#include "core/ids/cpu_codename.h"
#include "core/json_devices.h"
#include "core/json_document.h"
#include "core/json_fields.h"
#include "core/json_health.h"
#include "core/json_input.h"
#include "core/json_storage.h"
#include "core/report/device_text.h"
#include "core/sanitize.h"
#include "core/smbios/snapshot.h"
#include "core/text/fmt.h"

namespace nadrel {

namespace {

using namespace json;
using S = SystemSnapshot;

// The collector's words for a text it could not find; null in the document.
constexpr std::string_view unknown = "Unknown";

// "(kernel 6.1.0-13-amd64)" -> "6.1.0-13-amd64".
Json kernel_release(std::string_view kernel) {
    constexpr std::string_view prefix = "(kernel ";
    if (kernel.starts_with(prefix) && kernel.ends_with(')'))
        kernel = kernel.substr(prefix.size(), kernel.size() - prefix.size() - 1);
    return text(kernel);
}

ReadResult read_kernel(const Json& j, S& s) {
    std::string release;
    auto error = read_text(j, release, {});
    s.kernel = release.empty() ? std::string() : "(kernel " + release + ")";
    return error;
}

Json on_off(std::string_view value) {
    if (value == "On")
        return true;
    if (value == "Off")
        return false;
    return nullptr;
}

ReadResult read_on_off(const Json& j, std::string& out) {
    std::optional<bool> on;
    auto error = read_optional_flag(j, on);
    out = !on ? "" : *on ? "On" : "Off";
    return error;
}

// A value written only when the condition holds, null otherwise; read back as a number.
template <typename T, typename P>
Field<T> number_if(std::string_view key, P p, bool (*when)(const T&)) {
    return Keys<T>::custom(
        key, [p, when](const T& t) { return when(t) ? Json(std::invoke(p, t)) : Json(nullptr); },
        [p](const Json& j, T& t) { return read_number(j, std::invoke(p, t)); });
}

Fields<S> system_fields() {
    using K = Keys<S>;
    Fields<S> f = {
        // Null when sanitized as well; parse_report puts the hidden text back.
        K::ident("hostname", &S::hostname, unknown),
        K::text("os", &S::os_name, "Linux"),
        K::custom(
            "kernel", [](const S& s) { return kernel_release(s.kernel); }, read_kernel),
        K::text("os_installed", &S::os_installed),
        K::ident("machine_id", at(&S::ids, &MachineIds::machine_id)),
        K::text("vendor", at(&S::dmi, &DmiIdentity::sys_vendor)),
        K::text("product", at(&S::dmi, &DmiIdentity::product_name)),
        K::text("sku", at(&S::dmi, &DmiIdentity::product_sku)),
        K::ident("serial", at(&S::ids, &MachineIds::system_serial)),
        K::ident("uuid", at(&S::ids, &MachineIds::system_uuid)),
        K::object("chassis", self,
                  Fields<S>{K::text("type", &S::chassis),
                            K::ident("serial", at(&S::ids, &MachineIds::chassis_serial)),
                            K::ident("asset_tag", at(&S::ids, &MachineIds::chassis_asset_tag))}),
        K::text("tpm", &S::tpm),
        K::custom(
            "secure_boot", [](const S& s) { return on_off(s.secure_boot); },
            [](const Json& j, S& s) { return read_on_off(j, s.secure_boot); }),
        K::text("virtual_machine", &S::virtual_machine),
    };
    append(f, system_state_fields());
    return f;
}

Fields<CacheInfo> cache_fields() {
    using K = Keys<CacheInfo>;
    return {
        K::number("level", &CacheInfo::level),
        K::text("type", &CacheInfo::cache_type),
        K::known("size_bytes", &CacheInfo::size),
        K::number("count", &CacheInfo::count),
        K::known("ways", &CacheInfo::ways),
        K::known("line_size_bytes", &CacheInfo::line_size),
    };
}

// Without a vendor line there is no x86 signature; family 0 would then be a guess.
bool has_vendor(const S& s) {
    return s.cpu.vendor_id.has_value();
}

Fields<S> cpu_fields() {
    using K = Keys<S>;
    const auto codename = [](const S& s) {
        return shown_cpu_codename(s.cpu, !s.virtual_machine.empty());
    };
    Fields<S> f = {
        K::text("model", at(&S::cpu, &CpuInfo::model), "Unknown processor"),
        K::custom(
            "vendor",
            [](const S& s) { return s.cpu.vendor_id ? text(*s.cpu.vendor_id) : Json(nullptr); },
            [](const Json& j, S& s) -> ReadResult {
                std::string vendor;
                auto error = read_text(j, vendor, {});
                s.cpu.vendor_id = j.is_null() ? std::nullopt : std::optional(vendor);
                return error;
            }),
        K::derived("codename",
                   [codename](const S& s) {
                       const auto name = codename(s);
                       return name ? text(name->name) : Json(nullptr);
                   }),
        K::derived("process",
                   [codename](const S& s) {
                       const auto name = codename(s);
                       return name ? text(name->process) : Json(nullptr);
                   }),
        number_if("family", at(&S::cpu, &CpuInfo::family), has_vendor),
        number_if("model_number", at(&S::cpu, &CpuInfo::model_number), has_vendor),
        number_if("stepping", at(&S::cpu, &CpuInfo::stepping), has_vendor),
        K::known("cores", at(&S::cpu, &CpuInfo::cores)),
        K::known("threads", at(&S::cpu, &CpuInfo::threads)),
        K::known("performance_cores", at(&S::cpu, &CpuInfo::p_cores)),
        K::known("efficiency_cores", at(&S::cpu, &CpuInfo::e_cores)),
        K::known("base_mhz", at(&S::cpu, &CpuInfo::base_mhz)),
        K::known("current_mhz", at(&S::cpu, &CpuInfo::current_mhz)),
        K::known("max_mhz", at(&S::cpu, &CpuInfo::max_mhz)),
        K::object("cache_totals", &S::cpu,
                  Fields<CpuInfo>{Keys<CpuInfo>::known("l1_bytes", &CpuInfo::l1_total),
                                  Keys<CpuInfo>::known("l2_bytes", &CpuInfo::l2_total),
                                  Keys<CpuInfo>::known("l3_bytes", &CpuInfo::l3_total)}),
        K::list("caches", at(&S::cpu, &CpuInfo::caches), cache_fields()),
        K::texts("features", at(&S::cpu, &CpuInfo::features)),
        K::text("socket", &S::cpu_socket),
        K::known("sockets", &S::cpu_sockets),
        number_if(
            "sockets_populated", &S::cpu_sockets_populated,
            +[](const S& s) { return s.cpu_sockets != 0; }),
    };
    append(f, lift<S>(cpu_state_fields(), &S::cpu));
    return f;
}

Fields<MemoryModule> module_fields() {
    using K = Keys<MemoryModule>;
    using M = MemoryModule;
    Fields<M> f = {
        K::text("locator", &M::locator),
        K::text("bank_locator", &M::bank_locator),
        // At most 2^31 MiB (the extended size), below 2^53.
        K::number("size_bytes", &M::size),
        K::text("type", &M::memory_type, unknown),
        K::text("form_factor", &M::form_factor),
        K::derived("soldered", [](const M& m) { return Json(is_soldered(m)); }),
        K::text("manufacturer", &M::manufacturer),
        K::text("part_number", &M::part_number),
        K::ident("serial", &M::serial),
        K::ident("asset_tag", &M::asset_tag),
        K::known("speed_mts", &M::speed_mts),
        K::known("configured_speed_mts", &M::configured_speed_mts),
        K::known("configured_voltage_mv", &M::configured_voltage_mv),
        K::known("data_width_bits", &M::data_width),
        K::known("total_width_bits", &M::total_width),
        K::known("rank", &M::rank),
    };
    append(f, module_error_fields());
    return f;
}

Fields<S> memory_fields() {
    using K = Keys<S>;
    Fields<S> f = {
        K::known("installed_bytes", &S::memory_installed),
        K::known("available_bytes", &S::memory_total),
        K::known("max_capacity_bytes", &S::memory_max_capacity),
        K::known("slots", &S::memory_slots),
        K::text("error_correction", &S::memory_ecc),
        K::list("modules", &S::memory_modules, module_fields()),
    };
    append(f, memory_state_fields());
    return f;
}

// A PCI Express link's numbers, which are what is read back of a link (its text is derived).
template <typename T>
void add_pcie_link(Fields<T>& fields, PcieLink T::*link) {
    fields.push_back(Keys<T>::custom(
        "link_gts", [link](const T& t) { return gts((t.*link).max_mts); },
        [link](const Json& j, T& t) { return read_gts(j, (t.*link).max_mts); }));
    fields.push_back(Keys<T>::known("link_width", at(link, &PcieLink::max_width)));
}

Fields<GpuInfo> gpu_fields() {
    using K = Keys<GpuInfo>;
    using G = GpuInfo;
    Fields<G> f = {
        K::custom(
            "name", [](const G& g) { return text(gpu_name(g)); },
            [](const Json& j, G& g) { return read_text(j, g.name, {}); }),
        K::text("vendor", &G::vendor),
        K::hex("vendor_id", &G::vendor_id),
        K::hex("device_id", &G::device_id),
        K::hex("subsystem_vendor_id", &G::subsystem_vendor_id),
        K::hex("subsystem_device_id", &G::subsystem_device_id),
        // Revision 00 is real; it reads as 0 only when unreadable too.
        K::custom(
            "revision",
            [](const G& g) {
                return g.vendor_id == 0 ? Json(nullptr) : Json(strfmt("%02x", g.revision));
            },
            [](const Json& j, G& g) { return read_hex(j, g.revision, 2); }),
        K::known("vram_bytes", &G::vram_total),
        K::derived("pcie_link", [](const G& g) { return text(pcie_link_text(g.pcie_link)); }),
    };
    add_pcie_link(f, &G::pcie_link);
    f.push_back(K::text("vbios_version", &G::vbios_version));
    append(f, gpu_device_fields());
    return f;
}

Fields<DisplayInfo> display_fields() {
    using K = Keys<DisplayInfo>;
    using D = DisplayInfo;
    Fields<D> f = {
        K::text("name", &D::name),
        K::ident("serial", &D::serial),
        K::known("width", &D::width_px),
        K::known("height", &D::height_px),
        K::known("refresh_hz", &D::max_refresh_hz),
        K::known("diagonal_inches", &D::diagonal_in),
        K::known("width_mm", &D::width_mm),
        K::known("height_mm", &D::height_mm),
        K::known("bits_per_color", &D::bits_per_color),
        K::known("year", &D::year),
        K::known("week", &D::week),
    };
    append(f, display_connector_fields());
    return f;
}

Fields<DiskInfo> disk_fields() {
    using K = Keys<DiskInfo>;
    using D = DiskInfo;
    Fields<D> f = {
        K::text("name", &D::name),
        K::text("model", &D::model),
        K::ident("serial", &D::serial),
        K::known("size_bytes", &D::size),
        K::text("bus", &D::bus),
        K::custom(
            "solid_state",
            [](const D& d) { return d.solid_state ? Json(*d.solid_state) : Json(nullptr); },
            [](const Json& j, D& d) { return read_optional_flag(j, d.solid_state); }),
        K::text("firmware", &D::firmware),
        K::derived("link", [](const D& d) { return text(disk_link_text(d)); }),
    };
    add_pcie_link(f, &D::pcie_link);
    f.push_back(K::known("link_mbps", &D::sata_mbps));
    f.push_back(K::known("logical_block_bytes", &D::logical_block));
    f.push_back(K::known("physical_block_bytes", &D::physical_block));
    // 1 is the standard's "non-rotating": no rate to give.
    f.push_back(number_if(
        "rpm", &D::rpm, +[](const D& d) { return d.rpm > 1; }));
    append(f, disk_driver_fields());
    append(f, disk_temperature_fields());
    append(f, disk_layout_fields());
    return f;
}

Fields<NetAdapter> network_fields() {
    using K = Keys<NetAdapter>;
    using A = NetAdapter;
    Fields<A> f = {
        K::text("interface", &A::interface),
        K::custom(
            "name", [](const A& a) { return text(adapter_name(a)); },
            [](const Json& j, A& a) { return read_text(j, a.name, {}); }),
        K::text("kind", &A::kind),
        K::ident("mac", &A::mac),
        K::flag("connected", &A::link_up),
        K::known("speed_mbps", &A::speed_mbps),
    };
    append(f, network_device_fields());
    return f;
}

Fields<S> board_fields() {
    using K = Keys<S>;
    using P = PortConnector;
    using L = SystemSlot;
    return {
        K::text("vendor", at(&S::dmi, &DmiIdentity::board_vendor)),
        K::text("name", at(&S::dmi, &DmiIdentity::board_name)),
        K::text("version", at(&S::dmi, &DmiIdentity::board_version)),
        K::ident("serial", at(&S::ids, &MachineIds::board_serial)),
        K::ident("asset_tag", at(&S::ids, &MachineIds::board_asset_tag)),
        K::text("devicetree_model", &S::devicetree_model),
        K::text("devicetree_compatible", &S::devicetree_compatible),
        K::object("bios", self,
                  Fields<S>{K::text("vendor", at(&S::dmi, &DmiIdentity::bios_vendor)),
                            K::text("version", at(&S::dmi, &DmiIdentity::bios_version)),
                            K::text("date", at(&S::dmi, &DmiIdentity::bios_date)),
                            K::known("rom_size_bytes", &S::bios_rom_size)}),
        K::text("smbios_version", &S::smbios_version),
        K::known("usb_ports", &S::usb_ports),
        K::list("ports", &S::ports,
                Fields<P>{Keys<P>::text("designator", &P::designator),
                          Keys<P>::text("type", &P::port_type)}),
        K::list("slots", &S::slots,
                Fields<L>{Keys<L>::text("designation", &L::designation),
                          Keys<L>::text("type", &L::slot_type, unknown),
                          Keys<L>::text("width", &L::width),
                          Keys<L>::text("usage", &L::usage, unknown)}),
    };
}

Fields<UsbDevice> usb_fields() {
    using K = Keys<UsbDevice>;
    using U = UsbDevice;
    Fields<U> f = {
        K::text("name", &U::name),
        K::hex("vendor_id", &U::vendor_id),
        K::hex("product_id", &U::product_id),
        K::known("speed_mbps", &U::speed_mbps),
        K::number("depth", &U::depth),
    };
    append(f, usb_device_fields());
    return f;
}

// Every section, in the document's order.
Fields<S> document_fields() {
    using K = Keys<S>;
    Fields<S> f = {
        attention_field(),
        K::object("system", self, system_fields()),
        K::object("cpu", self, cpu_fields()),
        K::object("memory", self, memory_fields()),
        K::list("gpus", &S::gpus, gpu_fields()),
        K::list("displays", &S::displays, display_fields()),
        K::list("disks", &S::disks, disk_fields()),
        K::texts("optical_drives", &S::optical_drives),
    };
    append(f, storage_fields());
    append(f, {
                  K::list("network", &S::net_adapters, network_fields()),
                  K::object("board", self, board_fields()),
              });
    append(f, power_and_sensor_fields());
    append(f, {
                  K::object("audio", self,
                            Fields<S>{K::texts("cards", &S::sound_cards),
                                      K::texts("endpoints", &S::audio_devices),
                                      audio_controllers_field()}),
                  K::texts("bluetooth", &S::bluetooth),
                  K::list("usb", &S::usb_devices, usb_fields()),
                  pci_devices_field(),
              });
    return f;
}

std::string where(const ReadError& error) {
    return error.path.empty() ? error.reason : error.path + " " + error.reason;
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

std::optional<std::int64_t> parse_rfc3339_utc(std::string_view text) {
    constexpr std::string_view shape = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != shape.size())
        return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (shape[i] == 'd' ? !digit : text[i] != shape[i])
            return std::nullopt;
    }
    const auto number = [text](std::size_t at, std::size_t size) {
        int value = 0;
        for (std::size_t i = at; i < at + size; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    using namespace std::chrono;
    const year_month_day date{year{number(0, 4)}, month{static_cast<unsigned>(number(5, 2))},
                              day{static_cast<unsigned>(number(8, 2))}};
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (!date.ok() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const sys_seconds t = sys_days{date} + hours{hour} + minutes{minute} + seconds{second};
    return t.time_since_epoch().count();
}

namespace json {

Json snapshot_document(const SystemSnapshot& s, const JsonOptions& options) {
    Json doc;
    doc["schema_version"] = json_schema_version;
    doc["generated"] = rfc3339_utc(options.generated);
    doc["sanitized"] = options.sanitized;
    for (const Field<S>& f : document_fields())
        doc[std::string(f.key)] = f.write(s, options);
    return doc;
}

std::optional<ParsedReport> parse_report(std::string_view text, std::string& failure) {
    std::optional<Json> doc = parse_document(text, failure);
    if (!doc)
        return std::nullopt;
    if (!doc->is_object()) {
        failure = "not a JSON object";
        return std::nullopt;
    }
    ParsedReport parsed{std::move(*doc), {}};
    const Json& d = parsed.document;
    LoadedReport& r = parsed.report;
    const auto version = d.find("schema_version");
    if (version == d.end()) {
        failure = "no schema_version";
        return std::nullopt;
    }
    if (!version->is_number_unsigned() || version->get<std::uint64_t>() == 0) {
        failure = "schema_version is not a whole number from 1";
        return std::nullopt;
    }
    r.schema_version = version->get<std::uint64_t>();
    const auto generated = d.find("generated");
    const auto time = generated != d.end() && generated->is_string()
                          ? parse_rfc3339_utc(generated->get_ref<const std::string&>())
                          : std::nullopt;
    if (!time) {
        failure = "generated is not a time written as 2026-12-09T04:38:42Z";
        return std::nullopt;
    }
    r.generated = *time;
    if (const auto sanitized = d.find("sanitized"); sanitized != d.end()) {
        if (const auto error = inside("sanitized", read_flag(*sanitized, r.sanitized))) {
            failure = where(*error);
            return std::nullopt;
        }
    }
    if (const auto error = read_object(d, r.snapshot, document_fields())) {
        failure = where(*error);
        return std::nullopt;
    }
    // The host name is null both when unknown and when hidden; a sanitized report says hidden.
    const Json* host = d.contains("system") ? &d["system"] : nullptr;
    if (r.sanitized && host != nullptr && host->contains("hostname") &&
        (*host)["hostname"].is_null())
        r.snapshot.hostname = hidden_text;
    // A loop device is listed only with the file it maps, an address only with its value: in a
    // sanitized report, what is null was hidden.
    const auto hidden = [&r](std::string& value) {
        if (r.sanitized && value.empty())
            value = hidden_text;
    };
    for (LoopDevice& loop : r.snapshot.loop_devices)
        hidden(loop.backing_file);
    for (NetAdapter& adapter : r.snapshot.net_adapters) {
        for (NetAddress& address : adapter.addresses)
            hidden(address.address);
    }
    return parsed;
}

}  // namespace json

std::string snapshot_json(const SystemSnapshot& s, const JsonOptions& options) {
    std::string out = json::snapshot_document(s, options)
                          .dump(2, ' ', false, json::Json::error_handler_t::replace);
    out += '\n';
    return out;
}

LoadResult load_snapshot_json(std::string_view text) {
    LoadResult result;
    if (auto parsed = json::parse_report(text, result.failure))
        result.report = std::move(parsed->report);
    return result;
}

}  // namespace nadrel

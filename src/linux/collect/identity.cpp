// Host, operating system, firmware identity, TPM and Secure Boot.
#include "linux/collect/identity.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <limits>

#include "core/ids/virtual_machine.h"
#include "core/smbios/tables.h"
#include "core/text/fields.h"
#include "core/text/fmt.h"
#include "core/text/names.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::time_t year_2000 = 946684800;

// The names firmware writes in place of a field's value: the file's own name in words, the
// field's name in DSP0134 and its last word (unused places stay empty and match nothing).
using FieldNames = std::array<std::string_view, 5>;

// A file of /sys/class/dmi/id and the field it fills.
template <typename Record>
struct DmiFile {
    const char* file;
    std::string Record::*field;
    FieldNames names;
};

std::string non_placeholder(const SysRoot& root, std::string_view name,
                            const FieldNames& field_names) {
    auto text = read_text(root, "/sys/class/dmi/id/" + std::string(name));
    if (!text || is_placeholder(*text, field_names))
        return {};
    return collapse_spaces(*text);
}

// Whether every memory block is online, told from /proc/zoneinfo instead of one read per block
// (hundreds on a desktop). The zones hold the present pages of online blocks only, and the
// kernel refuses to offline a block with holes, so an offline block opens a gap of a whole
// block between the blocks' span and the pages present. A gap under one block means none is
// offline; any other gap (or a captured tree whose page size is not ours) reads the states.
bool all_blocks_online(const SysRoot& root, std::uint64_t blocks, std::uint64_t block_size) {
    const auto text = read_raw_text(root, "/proc/zoneinfo", cpu_table_limit);
    const auto pages = text ? zoneinfo_present_pages(*text) : std::nullopt;
    const long page_size = sysconf(_SC_PAGESIZE);
    if (!pages || page_size <= 0)
        return false;
    const std::uint64_t present = saturating_mul(*pages, static_cast<std::uint64_t>(page_size));
    const std::uint64_t span = saturating_mul(blocks, block_size);
    return span != std::numeric_limits<std::uint64_t>::max() && present <= span &&
           span - present < block_size;
}

}  // namespace

std::string collect_hostname(const SysRoot& root) {
    for (const char* path : {"/proc/sys/kernel/hostname", "/etc/hostname"}) {
        auto text = read_text(root, path);
        if (text && !text->empty())
            return std::move(*text);
    }
    return "Unknown";
}

std::optional<std::string> parse_os_release(std::string_view text) {
    std::optional<std::string> value;
    for_each_line(text, [&value](std::string_view line) {
        if (!line.starts_with("PRETTY_NAME="))
            return false;
        std::string_view v = trim(line.substr(12));
        // Double quotes go at both ends, however many; single quotes are part of the name.
        while (!v.empty() && v.front() == '"')
            v.remove_prefix(1);
        while (!v.empty() && v.back() == '"')
            v.remove_suffix(1);
        value = std::string(v);
        return true;
    });
    return value;
}

std::string collect_os_name(const SysRoot& root) {
    const auto text = read_text(root, "/etc/os-release", list_limit);
    if (!text)
        return "Linux";
    auto name = parse_os_release(*text);
    return name ? std::move(*name) : std::string("Linux");
}

std::string collect_kernel(const SysRoot& root) {
    const auto release = read_text(root, "/proc/sys/kernel/osrelease");
    if (!release || release->empty())
        return {};
    return "(kernel " + *release + ")";
}

std::string install_date(const timespec& mtime) {
    if (mtime.tv_nsec < 0 || mtime.tv_nsec > 999999999 || mtime.tv_sec < year_2000)
        return {};
    std::tm tm{};
    if (localtime_r(&mtime.tv_sec, &tm) == nullptr)
        return {};
    return strfmt("%04d-%02d-%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::string collect_os_installed(const SysRoot& root) {
    const auto mtime = modification_time(root, "/etc/machine-id");
    return mtime ? install_date(*mtime) : std::string();
}

DmiIdentity collect_dmi_identity(const SysRoot& root) {
    static constexpr DmiFile<DmiIdentity> files[] = {
        {"board_vendor", &DmiIdentity::board_vendor, {"board vendor", "vendor"}},
        {"board_name", &DmiIdentity::board_name, {"board name", "product", "name"}},
        {"board_version", &DmiIdentity::board_version, {"board version", "version"}},
        {"sys_vendor", &DmiIdentity::sys_vendor, {"sys vendor", "system vendor", "vendor"}},
        {"product_name", &DmiIdentity::product_name, {"product name", "product", "name"}},
        {"product_sku",
         &DmiIdentity::product_sku,
         {"product sku", "sku number", "system sku", "system sku number", "sku"}},
        {"bios_vendor", &DmiIdentity::bios_vendor, {"bios vendor", "vendor"}},
        {"bios_version", &DmiIdentity::bios_version, {"bios version", "version"}},
        {"bios_date", &DmiIdentity::bios_date, {"bios date", "bios release date", "date"}},
    };
    DmiIdentity id;
    for (const auto& f : files)
        id.*f.field = non_placeholder(root, f.file, f.names);
    return id;
}

MachineIds collect_machine_ids(const SysRoot& root) {
    static constexpr DmiFile<MachineIds> files[] = {
        {"product_serial", &MachineIds::system_serial, {"product serial", "serial number"}},
        {"product_uuid", &MachineIds::system_uuid, {"product uuid", "uuid"}},
        {"board_serial", &MachineIds::board_serial, {"board serial", "serial number"}},
        {"board_asset_tag", &MachineIds::board_asset_tag, {"board asset tag", "asset tag"}},
        {"chassis_serial", &MachineIds::chassis_serial, {"chassis serial", "serial number"}},
        {"chassis_asset_tag",
         &MachineIds::chassis_asset_tag,
         {"chassis asset tag", "asset tag", "asset tag number"}},
    };
    MachineIds ids;
    for (const auto& f : files)
        ids.*f.field = non_placeholder(root, f.file, f.names);
    ids.machine_id = std::string(trim(read_text(root, "/etc/machine-id").value_or("")));
    return ids;
}

std::string tpm_version_text(std::uint64_t major) {
    if (major == 1)
        return "1.2";
    if (major == 2)
        return "2.0";
    return {};
}

std::string collect_tpm(const SysRoot& root) {
    if (const auto major = read_u64(root, "/sys/class/tpm/tpm0/tpm_version_major")) {
        return tpm_version_text(*major);
    }
    return exists(root, "/sys/class/tpm/tpm0") ? "present" : std::string();
}

std::string secure_boot_state(std::span<const std::uint8_t> variable) {
    if (variable.size() < 5)
        return {};
    return variable[4] == 1 ? "On" : "Off";
}

std::string collect_secure_boot(const SysRoot& root) {
    const auto bytes = read_bytes(
        root, "/sys/firmware/efi/efivars/SecureBoot-8be4df61-93ca-11d2-aa0d-00e098032b8c");
    return bytes ? secure_boot_state(*bytes) : std::string();
}

std::optional<std::uint64_t> collect_online_memory(const SysRoot& root) {
    constexpr std::string_view dir = "/sys/devices/system/memory";
    const auto size_text = read_text(root, std::string(dir) + "/block_size_bytes");
    const auto block_size = size_text ? parse_hex64(*size_text) : std::nullopt;
    if (!block_size || *block_size == 0)
        return std::nullopt;
    std::vector<std::string> states;
    for (const auto& name : list_dir(root, dir)) {
        if (is_numbered_name(name, "memory"))  // one hot-pluggable block each
            states.push_back(name + "/online");
    }
    if (states.empty())
        return std::nullopt;
    if (all_blocks_online(root, states.size(), *block_size))
        return saturating_mul(states.size(), *block_size);
    std::uint64_t online = 0;
    for (const auto& state : read_texts_in(root, dir, states)) {
        if (state && trim(*state) == "1")
            ++online;
    }
    if (online == 0)
        return std::nullopt;
    return saturating_mul(online, *block_size);
}

std::string collect_virtual_machine(const SysRoot& root, const DmiIdentity& dmi,
                                    bool hypervisor_flag) {
    const auto type = read_text(root, "/sys/hypervisor/type");
    return virtual_machine_name(dmi, type.value_or(""), hypervisor_flag);
}

std::string devicetree_string(std::span<const std::uint8_t> property) {
    std::string text;
    for (const std::uint8_t byte : property) {
        if (byte == 0)
            break;
        text += static_cast<char>(byte);
    }
    return collapse_spaces(trim(utf8_lossy(text)));
}

void collect_devicetree_board(const SysRoot& root, SystemSnapshot& snapshot) {
    constexpr std::string_view base = "/sys/firmware/devicetree/base";
    if (const auto model = read_bytes(root, std::string(base) + "/model"))
        snapshot.devicetree_model = devicetree_string(*model);
    if (const auto compatible = read_bytes(root, std::string(base) + "/compatible"))
        snapshot.devicetree_compatible = devicetree_string(*compatible);
}

std::string collect_chassis(const SysRoot& root) {
    const auto code = read_u64(root, "/sys/class/dmi/id/chassis_type");
    return code ? chassis_name(*code) : std::string();
}

}  // namespace nadrel

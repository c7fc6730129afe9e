// The order of collection: each step fills its fields and never reads what a later one makes.
#include "linux/collect/collect.h"

#include "core/installed_memory.h"
#include "core/memory_errors.h"
#include "core/smbios/snapshot.h"
#include "core/text/kernel_state.h"
#include "linux/collect/audio.h"
#include "linux/collect/battery.h"
#include "linux/collect/block_layout.h"
#include "linux/collect/cpu.h"
#include "linux/collect/displays.h"
#include "linux/collect/dmi_table.h"
#include "linux/collect/drm.h"
#include "linux/collect/edac.h"
#include "linux/collect/gpu.h"
#include "linux/collect/hypervisor.h"
#include "linux/collect/identity.h"
#include "linux/collect/net.h"
#include "linux/collect/pci.h"
#include "linux/collect/sensors.h"
#include "linux/collect/storage.h"
#include "linux/collect/system_state.h"
#include "linux/collect/usb.h"

namespace nadrel {

SystemSnapshot collect_snapshot(const SysRoot& root) {
    const auto dmi = load_dmi_structures(root);
    return collect_snapshot(root, dmi);
}

SystemSnapshot collect_snapshot(const SysRoot& root, std::span<const DmiStructure> dmi) {
    SystemSnapshot s;
    s.hostname = collect_hostname(root);
    s.os_name = collect_os_name(root);
    s.kernel = collect_kernel(root);
    s.os_installed = collect_os_installed(root);
    s.cpu = collect_cpu(root);
    collect_smbios_memory(s, dmi);
    const auto meminfo = read_text(root, "/proc/meminfo", list_limit);
    const MemoryUse memory = meminfo ? parse_memory_use(*meminfo) : MemoryUse{};
    s.memory_total = memory.total;
    s.memory_used = memory.used;
    s.swap_total = memory.swap_total;
    s.swap_used = memory.swap_used;
    s.memory_online = collect_online_memory(root).value_or(0);
    s.memory_installed = installed_memory(s);
    s.memory_ecc = smbios_memory_ecc(dmi);
    attach_memory_errors(s, collect_edac(root));
    // Every PCI function first: the adapters and disks take their functions' values from it.
    s.pci_devices = collect_pci_devices(root);
    const DrmTree drm = scan_drm(root);
    s.gpus = collect_gpus(root, drm, s.pci_devices);
    s.displays = collect_displays(root, drm);
    s.disks = collect_disks(root, s.pci_devices);
    collect_storage_layout(root, s);
    PowerSupplies power = collect_power_supplies(root);
    s.batteries = std::move(power.batteries);
    s.device_batteries = std::move(power.device_batteries);
    s.ac_online = power.ac_online;
    s.sensors = collect_sensors(root, s.disks);
    attach_disk_temperatures(s.disks, s.sensors);
    s.net_adapters = collect_net_adapters(root, s.pci_devices);
    s.slots = smbios_slots(dmi);
    collect_smbios_sockets(s, dmi);
    s.dmi = collect_dmi_identity(root);
    s.virtual_machine = collect_virtual_machine(root, s.dmi, s.cpu.hypervisor);
    collect_hypervisor(root, s);
    collect_devicetree_board(root, s);
    s.tpm = collect_tpm(root);
    s.secure_boot = collect_secure_boot(root);
    s.chassis = collect_chassis(root);
    s.uptime_seconds = collect_uptime(root);
    s.load_average = collect_load_average(root);
    // Only x86 cpuinfo names a vendor.
    s.boot_mode = collect_boot_mode(root, s.cpu.vendor_id.has_value());
    s.kernel_taint = collect_kernel_taint(root);
    s.usb_ports = smbios_usb_ports(dmi);
    s.bios_rom_size = smbios_rom_size(dmi);
    if (const auto entry = read_bytes(root, "/sys/firmware/dmi/tables/smbios_entry_point")) {
        s.smbios_version = smbios_version(*entry);
    }
    s.ports = smbios_ports(dmi);
    s.optical_drives = collect_optical_drives(root);
    s.sound_cards = collect_sound_cards(root);
    s.audio_devices = collect_audio_devices(root);
    s.bluetooth = collect_bluetooth(root);
    s.usb_devices = collect_usb_devices(root);
    return s;
}

}  // namespace nadrel

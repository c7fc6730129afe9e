// The machine as collected once per run: a plain value, read-only once built.
// Units: bytes, MHz, Mb/s, mWh, mV and mm unless a field says otherwise; 0 or empty = not known.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nadrel {

struct CacheInfo {
    std::string cache_type;  // "Data", "Instruction", "Unified"
    std::uint8_t level = 0;
    std::uint32_t count = 0;  // distinct instances with this geometry
    std::uint32_t size = 0;   // one instance, bytes
    std::uint32_t line_size = 0;
    std::uint32_t ways = 0;
};

// One file of /sys/devices/system/cpu/vulnerabilities.
struct CpuVulnerability {
    std::string name;    // the file's name ("spec_store_bypass")
    std::string status;  // its text ("Not affected", "Mitigation: ...", "Vulnerable: ...")
};

struct CpuInfo {
    std::string model;
    std::optional<std::string> vendor_id;
    std::uint32_t family = 0;
    std::uint32_t model_number = 0;
    std::uint32_t stepping = 0;
    std::uint32_t cores = 0;
    std::uint32_t threads = 0;
    std::uint32_t p_cores = 0;
    std::uint32_t e_cores = 0;
    std::uint32_t base_mhz = 0;
    std::uint32_t current_mhz = 0;
    std::uint32_t max_mhz = 0;
    std::uint32_t l1_total = 0;  // bytes, saturating
    std::uint32_t l2_total = 0;
    std::uint32_t l3_total = 0;
    std::vector<CacheInfo> caches;
    std::vector<std::string> features;
    bool hypervisor = false;    // the "hypervisor" flag: running under one
    std::uint32_t min_mhz = 0;  // the lowest cpuinfo_min_freq over all CPUs
    std::string scaling_driver{};
    std::string governor{};
    std::string microcode{};  // the revision as cpuinfo writes it ("0x2c")
    std::vector<CpuVulnerability> vulnerabilities{};
};

struct MemoryModule {
    std::string locator;
    std::string memory_type;
    std::string form_factor;
    std::string manufacturer;
    std::string part_number;
    std::uint64_t size = 0;  // bytes, never 0 for a listed module
    std::uint32_t speed_mts = 0;
    std::uint32_t configured_speed_mts = 0;
    std::uint16_t configured_voltage_mv = 0;
    std::uint16_t data_width = 0;
    std::uint16_t total_width = 0;
    std::uint8_t rank = 0;
    std::string serial;  // identifies the module: hidden when sanitizing
    std::string asset_tag;
    std::string bank_locator;  // empty when unknown
    // Error counts of the EDAC DIMM whose label names this module; absent without one.
    std::optional<std::uint64_t> corrected_errors{};
    std::optional<std::uint64_t> uncorrected_errors{};
};

// EDAC error counts that name no SMBIOS module: a DIMM by its EDAC label, or a memory
// controller's totals (empty label) when it lists no DIMMs.
struct MemoryErrorCount {
    std::string controller;  // "mc0"
    std::string label;
    std::uint64_t corrected = 0;
    std::uint64_t uncorrected = 0;
};

// A PCI Express link: the most the device can run it at (max_link_speed, max_link_width), what
// it runs at now (current_link_*), and the most the port above it can (the upstream bridge's
// max_link_*): each a transfer rate per lane in MT/s (16000 = 16.0 GT/s) and a lane count;
// 0 = not known.
struct PcieLink {
    std::uint32_t max_mts = 0;
    std::uint32_t max_width = 0;
    std::uint32_t current_mts = 0;
    std::uint32_t current_width = 0;
    std::uint32_t port_max_mts = 0;
    std::uint32_t port_max_width = 0;
};

// One PCI function (/sys/bus/pci/devices/*). Names come from the PCI ID database.
struct PciDevice {
    std::string address;                      // "0000:00:02.0"
    std::optional<std::uint32_t> class_code;  // class, subclass, programming interface (0x010601)
    std::string class_name;                   // the subclass's name, else the class's
    std::uint16_t vendor_id = 0;
    std::uint16_t device_id = 0;
    std::uint16_t subsystem_vendor_id = 0;
    std::uint16_t subsystem_device_id = 0;
    std::optional<std::uint8_t> revision;
    std::string vendor;          // the vendor's name
    std::string device_name;     // the device's name
    std::string subsystem_name;  // the subsystem's (the board's), where the database has one
    std::string driver;          // the bound kernel driver ("ahci")
    std::string module;          // the module that holds it, when it is one
    std::string driver_version;
    std::optional<std::uint32_t> numa_node;
    std::optional<std::uint32_t> iommu_group;
    // Absent for a function without a PCI Express link (conventional PCI, integrated devices).
    std::optional<PcieLink> link;
    // The link above is this function's own: the port above it is a root or switch downstream
    // port. Those ports are not judged themselves; their link is the function's below them.
    bool link_judged = false;
    // In a low-power state (D1 to D3, or runtime-suspended); unknown when the kernel says neither.
    std::optional<bool> low_power;
};

// A DRM connector of a graphics adapter ("DP-1", "HDMI-A-1", "eDP-1").
struct DrmConnector {
    std::string name;
    bool connected = false;
};

struct GpuInfo {
    std::string name;  // from the PCI ID database; empty when it does not list the device
    std::string vendor;
    PcieLink pcie_link;
    std::string vbios_version;
    std::uint64_t vram_total = 0;
    std::uint16_t vendor_id = 0;
    std::uint16_t device_id = 0;
    std::uint16_t subsystem_vendor_id = 0;
    std::uint16_t subsystem_device_id = 0;
    std::uint8_t revision = 0;
    std::string pci_address;  // empty when the adapter is not a PCI function
    std::string driver;
    std::vector<DrmConnector> connectors;  // in name order, digits counted as numbers
};

struct DisplayInfo {
    std::string name;
    std::uint32_t width_px = 0;
    std::uint32_t height_px = 0;
    std::uint32_t diagonal_in = 0;
    std::uint32_t width_mm = 0;
    std::uint32_t height_mm = 0;
    std::uint32_t max_refresh_hz = 0;
    std::uint16_t year = 0;
    std::uint8_t week = 0;
    std::uint8_t bits_per_color = 0;
    std::string serial;           // serial-number descriptor, else the EDID ID serial in decimal
    std::string connector;        // the DRM connector it is on ("DP-1")
    std::string gpu_pci_address;  // the adapter that connector belongs to
};

// What a block device (disk, partition, mapped or RAID device) holds and what uses it.
struct BlockContent {
    // The signature on it as the udev database or the mount table names it: "ext4", "vfat",
    // "crypto_LUKS", "LVM2_member", "linux_raid_member", "swap"; empty when not known.
    std::string filesystem;
    std::string label;  // filesystem label
    std::string uuid;   // filesystem UUID
    std::vector<std::string> mount_points;
    std::vector<std::string> holders;  // kernel names of the devices built on it ("dm-0", "md127")
};

struct PartitionInfo {
    std::string name;         // "nvme0n1p2"; an eMMC's hardware partitions: "mmcblk0boot0"
    std::uint64_t start = 0;  // bytes from the start of the disk; 0 = not known
    std::uint64_t size = 0;
    std::string part_name;  // the partition table's name for it (GPT)
    std::string part_uuid;  // the partition table's identifier for it
    std::string part_type;  // GPT type GUID ("c12a7328-...") or MBR type ("0x83")
    BlockContent content;
};

struct DiskInfo {
    std::string name;
    std::string model;
    std::string bus;  // "NVMe", "SD/MMC", "Virtual", "USB", "SATA", "SCSI" or empty
    std::string firmware;
    std::uint32_t sata_mbps = 0;  // the negotiated SATA line rate (6000 for 6.0 Gb/s)
    PcieLink pcie_link;           // an NVMe controller's link
    std::uint64_t size = 0;
    std::uint32_t logical_block = 0;
    std::uint32_t physical_block = 0;
    std::uint32_t rpm = 0;            // 1 = non-rotating
    std::optional<bool> solid_state;  // unknown when absent
    std::string serial;
    // The driver of the disk's controller or transport ("nvme", "ahci", "virtio_blk", "uas"),
    // never the generic SCSI disk driver; and the PCI function it is reached through, when no
    // USB device lies between.
    std::string driver;
    std::string pci_address;
    std::optional<double> temperature_c{};  // from the disk's own sensor (NVMe, drivetemp)
    std::string partition_table{};          // "gpt", "dos" (as the udev database names it) or empty
    std::vector<PartitionInfo> partitions{};
    BlockContent content{};  // a file system or signature on the whole disk
};

// A device-mapper device: an opened LUKS volume, an LVM logical volume, a multipath map.
struct MappedDevice {
    std::string name;    // the map's name ("vg0-root", "luks-3f2a...")
    std::string device;  // kernel name ("dm-1")
    std::string uuid;    // "CRYPT-LUKS2-...", "LVM-...", "mpath-..." (identifies the volume)
    std::vector<std::string> slaves;  // kernel names of the devices it is built on
    std::uint64_t size = 0;
    BlockContent content;
    // What the UUID's prefix says, kept apart from the UUID, which sanitizing hides: the kind
    // ("crypt", "lvm", "multipath" or "other") and for crypt the format ("LUKS2", "PLAIN").
    std::string kind;
    std::string crypt_format;
};

// A Linux software RAID (md) array.
struct RaidArray {
    std::string name;                      // "md0"
    std::string level;                     // "raid1", "raid5", "linear" (md/level)
    std::uint32_t devices = 0;             // member slots (raid_disks); 0 = not known
    std::optional<std::uint32_t> missing;  // member slots without a working device (degraded)
    std::string state;                     // md/array_state: "clean", "active", "inactive", ...
    std::vector<std::string> members;      // kernel names of the members present
    std::uint64_t size = 0;
    BlockContent content;
};

struct LoopDevice {
    std::string name;          // "loop0"
    std::string backing_file;  // the file it maps (a path on the machine)
    std::uint64_t size = 0;
    BlockContent content;
};

struct SwapArea {
    std::string device;  // as /proc/swaps names it: "/dev/dm-3", "/swapfile", "/dev/zram0"
    std::string kind;    // "partition", "file" or "zram"
    std::uint64_t size = 0;
    std::uint64_t used = 0;
};

struct VolumeUsage {
    std::uint64_t size = 0;
    std::uint64_t used = 0;       // size less the free blocks
    std::uint64_t available = 0;  // free to unprivileged users
};

// A mounted file system (pseudo file systems left out).
struct Volume {
    std::string source;       // as mounted: "/dev/mapper/vg0-root", "server:/export"
    std::string mount_point;  // decoded: "/mnt/my disk"
    std::string filesystem;   // "ext4", "nfs4", "fuse.sshfs"
    std::string device;       // kernel name of its block device ("dm-1"); empty when none
    bool read_only = false;
    std::optional<VolumeUsage> usage;  // measured on the running machine, local file systems only
};

// One of the machine's own batteries (not a peripheral's).
struct BatteryInfo {
    std::string technology;
    std::string manufactured;  // YYYY-MM-DD, YYYY-MM or YYYY
    std::optional<std::uint32_t> cycle_count;
    std::uint32_t design_mwh = 0;
    std::uint32_t full_mwh = 0;
    std::uint32_t min_voltage_mv = 0;
    std::string serial;
    std::string name{};  // the power supply's name ("BAT0")
    std::optional<std::uint8_t> charge_percent{};
    std::string status{};  // as the kernel writes it: "Charging", "Discharging", "Full", ...
    std::optional<std::uint32_t> energy_now_mwh{};
    std::optional<std::uint32_t> power_mw{};  // the draw or charge rate, whatever its sign
    std::optional<std::uint32_t> time_to_empty_s{};
    std::optional<std::uint32_t> time_to_full_s{};
    std::string model{};
    std::string manufacturer{};
};

// An address of an interface: IPv4 dotted ("192.168.1.5") or IPv6 as RFC 5952 writes it.
struct NetAddress {
    bool ipv6 = false;
    std::string address;
    std::uint8_t prefix_length = 0;  // 0 = not known
};

// One interface with a device behind it (each port of a multi-port card is one).
// A peripheral's battery (a wireless mouse, keyboard or headset: power supply scope Device).
struct DeviceBattery {
    std::string model;
    std::string manufacturer;
    std::optional<std::uint8_t> charge_percent;
    std::string level;   // capacity_level: "Full", "High", "Normal", "Low", "Critical"
    std::string status;  // as for BatteryInfo
};

enum class SensorKind : std::uint8_t { Temperature, Fan, Voltage, Power, Current };

// One hardware-monitor channel or thermal zone, in base units (°C, RPM, V, W, A). Its
// identity is chip, device and label, never the hwmon number, which changes across boots.
struct Sensor {
    std::string chip;    // the chip's name ("coretemp", "nvme"), or a thermal zone's type
    std::string device;  // the chip's device: a PCI address, a platform device, "nvme0", ...
    std::string label;   // the channel's label, else its name ("temp1")
    SensorKind kind = SensorKind::Temperature;
    double value = 0;  // a stopped fan reads 0
    // The chip's own limits.
    std::optional<double> max{};
    std::optional<double> critical{};
    std::optional<double> min{};
    std::optional<double> critical_low{};
    std::string disk{};  // the disk this is the sensor of ("nvme0n1"), else empty
};

enum class BootMode : std::uint8_t { Unknown, Uefi, Bios };

struct NetAdapter {
    std::string name;  // from the PCI ID database; empty when unknown (the interface names it)
    std::string kind;  // "Wi-Fi", "Ethernet" or empty
    std::uint32_t speed_mbps = 0;
    bool link_up = false;
    std::string interface;    // "enp3s0"
    std::string mac;          // its hardware address as the kernel writes it
    std::string pci_address;  // the PCI function, when no USB device lies between
    std::string driver;       // the driver of the interface's device ("igb", "virtio_net")
    std::string firmware_version;
    std::uint32_t mtu = 0;
    std::string duplex;  // "full", "half" or empty
    std::vector<NetAddress> addresses;
};

// One interface of a USB device ("1-2.4:1.0").
struct UsbInterface {
    std::uint8_t number = 0;
    std::optional<std::uint8_t> class_id;  // bInterfaceClass
    std::string class_name;                // from usb.ids ("Human Interface Device")
    std::string driver;
};

struct UsbDevice {
    std::string name;
    std::uint32_t speed_mbps = 0;
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    std::uint8_t depth = 0;  // 1 = on a root port
    std::uint32_t bus = 0;
    std::string port_path;  // "1-2.4"
    std::string version;    // the USB version the device declares ("3.20")
    std::vector<UsbInterface> interfaces;
};

struct SystemSlot {
    std::string designation;
    std::string slot_type;
    std::string width;  // "x1".."x32", empty when unknown or part of slot_type
    std::string usage;  // "Available", "In use", "Unavailable" or "Unknown"
};

struct PortConnector {
    std::string designator;
    std::string port_type;
};

struct DmiIdentity {
    std::string board_vendor;
    std::string board_name;
    std::string board_version;
    std::string sys_vendor;
    std::string product_name;
    std::string product_sku;
    std::string bios_vendor;
    std::string bios_version;
    std::string bios_date;
};

// What identifies this machine rather than describes it; the report never shows these, and a
// sanitized report hides them. Empty = not known (the DMI serial files are root-only).
struct MachineIds {
    std::string system_serial;
    std::string system_uuid;
    std::string board_serial;
    std::string board_asset_tag;
    std::string chassis_serial;
    std::string chassis_asset_tag;
    std::string machine_id;  // /etc/machine-id
};

struct SystemSnapshot {
    // Identity and operating system
    std::string hostname = "Unknown";
    std::string os_name = "Linux";
    std::string kernel;
    std::string os_installed;
    DmiIdentity dmi;
    MachineIds ids;               // collected only for the JSON document, the one place they appear
    std::string virtual_machine;  // the hypervisor's name, "Yes" when unnamed, empty on metal
    std::string hypervisor;       // the hypervisor's vendor ("KVM", "Hyper-V"), empty if unknown
    // The device tree's board name and first "compatible" string (boards without DMI).
    std::string devicetree_model;
    std::string devicetree_compatible;
    std::string chassis;
    std::string tpm;
    std::string secure_boot;
    std::string smbios_version;
    std::uint64_t bios_rom_size = 0;
    std::optional<std::uint64_t> uptime_seconds;
    std::optional<std::array<double, 3>> load_average;  // 1, 5 and 15 minutes
    BootMode boot_mode = BootMode::Unknown;
    std::optional<std::uint64_t> kernel_taint;  // /proc/sys/kernel/tainted

    // Processor
    CpuInfo cpu;
    std::string cpu_socket;
    std::uint64_t cpu_sockets = 0;
    std::uint64_t cpu_sockets_populated = 0;

    // Memory
    std::uint64_t memory_total = 0;      // MemTotal
    std::uint64_t memory_online = 0;     // the online memory blocks
    std::uint64_t memory_installed = 0;  // installed_memory() of the modules and the above
    std::uint64_t memory_max_capacity = 0;
    std::uint32_t memory_slots = 0;
    std::string memory_ecc;
    std::vector<MemoryModule> memory_modules;
    std::optional<std::uint64_t> memory_used;  // MemTotal - MemAvailable
    std::optional<std::uint64_t> swap_total;
    std::optional<std::uint64_t> swap_used;
    std::vector<MemoryErrorCount> memory_edac;  // EDAC counts that name no module

    // Every PCI function, in address order
    std::vector<PciDevice> pci_devices;

    // Graphics and displays
    std::vector<GpuInfo> gpus;
    std::vector<DisplayInfo> displays;

    // Storage
    std::vector<DiskInfo> disks;
    std::vector<std::string> optical_drives;
    std::vector<Volume> volumes;  // in mount order
    std::vector<RaidArray> arrays;
    std::vector<MappedDevice> device_mapper;
    std::vector<SwapArea> swap;
    std::vector<LoopDevice> loop_devices;

    // Power: the machine's batteries sorted by name, the first being "the" battery.
    std::vector<BatteryInfo> batteries;
    std::vector<DeviceBattery> device_batteries;
    std::optional<bool> ac_online;  // a mains adapter is plugged in; unknown without one

    // Sensors, chip by chip
    std::vector<Sensor> sensors;

    // Network and peripherals
    std::vector<NetAdapter> net_adapters;
    std::vector<std::string> sound_cards;
    std::vector<std::string> audio_devices;
    std::vector<std::string> bluetooth;
    std::vector<UsbDevice> usb_devices;

    // Motherboard
    std::vector<SystemSlot> slots;
    std::vector<PortConnector> ports;
    std::uint64_t usb_ports = 0;
};

}  // namespace nadrel

// Disks and optical drives from /sys/block: selection, model, bus, sizes, rotation and link.
#include "linux/collect/storage.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "core/storage/block_text.h"
#include "core/text/fields.h"
#include "core/text/names.h"
#include "core/text/unicode.h"
#include "linux/collect/pci.h"
#include "linux/collect/pci_names.h"
#include "linux/collect/sysfs_links.h"

namespace nadrel {

namespace {

constexpr std::string_view block_dir = "/sys/block";

// Block devices examined at most (virtual ones are left out by name first): a storage server
// has a few hundred disks, and a tree claiming more is cut before any of its files is read.
// Each costs a dozen reads through two links, so the cap is the network adapters' one.
constexpr std::size_t max_disks = 1024;

// Virtual, RAM-backed and removable-media devices that are not disks of this machine, and an
// eMMC's boot and RPMB areas, which are parts of their eMMC.
bool excluded_name(std::string_view name) {
    constexpr std::array<std::string_view, 7> prefixes = {"loop", "ram", "dm-", "zram",
                                                          "sr",   "md",  "fd"};
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [name](std::string_view p) { return starts_with(name, p); }) ||
           !emmc_area_parent(name).empty();
}

std::string first_word(std::string_view text) {
    text = trim_start(text);
    std::size_t end = 0;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '\n' &&
           text[end] != '\r') {
        ++end;
    }
    return std::string(text.substr(0, end));
}

// A negotiated SATA speed as the kernel writes it ("1.5", "3.0", "6.0", in Gb/s) in Mb/s; 0
// for another word, or one finer than whole Mb/s.
std::uint32_t sata_speed_mbps(std::string_view word) {
    constexpr std::string_view digits = "0123456789";
    const std::size_t point = std::min(word.find('.'), word.size());
    const std::string_view whole = word.substr(0, point);
    const std::string_view fraction = word.substr(std::min(point + 1, word.size()));
    if (whole.empty() || whole.size() > 6 || fraction.size() > 3 ||
        (point < word.size() && fraction.empty()) ||
        whole.find_first_not_of(digits) != std::string_view::npos ||
        fraction.find_first_not_of(digits) != std::string_view::npos)
        return 0;
    std::uint32_t mbps = 0;
    for (const char ch : word) {
        if (ch != '.')
            mbps = mbps * 10 + static_cast<std::uint32_t>(ch - '0');
    }
    for (std::size_t i = fraction.size(); i < 3; ++i)
        mbps *= 10;
    return mbps;
}

std::string disk_bus(std::string_view name, std::string_view canonical, std::string_view mmc_type) {
    if (starts_with(name, "nvme"))
        return "NVMe";
    if (starts_with(name, "mmcblk"))
        return mmc_type == "SD" || mmc_type == "MMC" ? std::string(mmc_type) : "SD/MMC";
    if (starts_with(name, "vd"))
        return "Virtual";
    if (contains(canonical, "/usb"))
        return "USB";
    if (contains(canonical, "/ata"))
        return "SATA";
    if (starts_with(name, "sd"))
        return "SCSI";
    return {};
}

bool medium_needs_rotation_rate(std::string_view bus) {
    return bus == "USB" || bus == "Virtual" || bus == "SD/MMC" || bus == "SD" || bus == "MMC";
}

// The SATA speed in Mb/s from the ATA port (…/ata3/host2/…) the disk hangs under, or 0.
std::uint32_t sata_link_mbps(const SysRoot& root, std::string_view canonical) {
    const std::size_t host = canonical.find("/host");
    if (host == std::string_view::npos || host == 0)
        return 0;
    const std::string_view port = canonical.substr(0, host);
    const std::string_view last = port.substr(port.rfind('/') + 1);
    if (!starts_with(last, "ata"))
        return 0;
    const std::string port_dir(port);
    for (const auto& entry : list_dir(root, port_dir)) {
        if (!starts_with(entry, "link"))
            continue;
        const auto text =
            read_text(root, port_dir + "/" + entry + "/ata_link/" + entry + "/sata_spd");
        if (!text)
            continue;
        if (const std::uint32_t mbps = sata_speed_mbps(first_word(*text)); mbps != 0)
            return mbps;
    }
    return 0;
}

std::string trimmed_text(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    return text ? std::string(trim(*text)) : std::string();
}

// Drivers that drive every disk of their kind, not the controller or transport that tells
// disks apart: SCSI disks and CD-ROMs, MMC cards.
bool generic_block_driver(std::string_view driver) {
    return driver == "sd" || driver == "sr" || driver == "mmcblk";
}

// The driver of the controller or transport: the first bound driver above the disk that is
// not a generic block driver (nvme, ahci, virtio_blk, usb-storage, uas).
std::string transport_driver(const SysRoot& root, std::string_view canonical) {
    constexpr std::size_t max_steps = 24;
    std::string_view dir = canonical;
    for (std::size_t step = 0; step < max_steps; ++step) {
        const std::size_t slash = dir.rfind('/');
        if (slash == std::string_view::npos)
            break;
        dir = dir.substr(0, slash);
        if (!dir.starts_with("/sys/devices/"))
            break;
        const auto driver = bound_driver(root, dir);
        if (driver && !generic_block_driver(*driver))
            return *driver;
    }
    return {};
}

std::optional<DiskInfo> read_disk(const SysRoot& root, const std::string& name,
                                  const std::vector<PciDevice>& pci) {
    const std::string base = std::string(block_dir) + "/" + name;
    DiskInfo disk;
    disk.name = name;
    // The kernel counts 512-byte sectors; a value too large for bytes saturates.
    const std::uint64_t sectors = read_u64(root, base + "/size").value_or(0);
    disk.size = sectors > std::numeric_limits<std::uint64_t>::max() / 512
                    ? std::numeric_limits<std::uint64_t>::max()
                    : sectors * 512;
    if (const auto rotational = read_u64(root, base + "/queue/rotational")) {
        disk.solid_state = *rotational == 0;
    }
    disk.model = clean_name(collapse_spaces(trimmed_text(root, base + "/device/model")));
    // SD cards and eMMCs carry their product name in the card's CID ("SL16G").
    const bool mmc = starts_with(name, "mmcblk");
    if (disk.model.empty() && mmc)
        disk.model = clean_name(collapse_spaces(trimmed_text(root, base + "/device/name")));
    if (disk.model.empty() && disk.size == 0)
        return std::nullopt;

    // The path as on the machine, so the fixture folder's own name can never match "/usb".
    const std::string canonical = canonical_path(root, base).value_or("");
    disk.bus = disk_bus(name, canonical, mmc ? trimmed_text(root, base + "/device/type") : "");
    // NVMe keeps the serial on the controller, one level up from SCSI-style devices.
    disk.serial = trimmed_text(root, base + "/device/serial");
    if (disk.serial.empty())
        disk.serial = trimmed_text(root, base + "/device/device/serial");
    // Virtio disks have no model file; lspci names their PCI function ("Virtio block device").
    if (disk.model.empty() && disk.bus == "Virtual")
        disk.model = clean_name(pci_device_name(root, base + "/device").value_or(""));
    disk.firmware = trimmed_text(root, base + "/device/firmware_rev");
    if (disk.firmware.empty())
        disk.firmware = trimmed_text(root, base + "/device/rev");
    disk.logical_block =
        saturate_u32(read_u64(root, base + "/queue/logical_block_size").value_or(0));
    disk.physical_block =
        saturate_u32(read_u64(root, base + "/queue/physical_block_size").value_or(0));
    // SCSI Block Device Characteristics VPD page: medium rotation rate, big-endian, bytes 4..5.
    if (const auto vpd = read_bytes(root, base + "/device/vpd_pgb1"); vpd && vpd->size() >= 6) {
        disk.rpm = static_cast<std::uint32_t>((*vpd)[4]) << 8 | (*vpd)[5];
    }
    // USB sticks and virtio disks say rotational 1 whatever they hold: on these buses only a
    // reported rotation rate makes a disk a hard disk.
    if (disk.solid_state == false && disk.rpm <= 1 && medium_needs_rotation_rate(disk.bus))
        disk.solid_state.reset();
    disk.sata_mbps = sata_link_mbps(root, canonical);
    disk.driver = transport_driver(root, canonical);
    disk.pci_address = pci_function_of(canonical);
    if (disk.sata_mbps == 0 && starts_with(name, "nvme")) {
        const PciDevice* function = find_pci_device(pci, disk.pci_address);
        if (function != nullptr && function->link) {
            disk.pcie_link = *function->link;
        } else {
            disk.pcie_link = read_pcie_link(root, base + "/device/device");
        }
    }
    return disk;
}

}  // namespace

std::vector<DiskInfo> collect_disks(const SysRoot& root, const std::vector<PciDevice>& pci) {
    std::vector<DiskInfo> disks;
    std::size_t examined = 0;
    for (const auto& name : list_dir_sorted(root, block_dir)) {
        if (excluded_name(name))
            continue;
        if (++examined > max_disks)
            break;
        // Without a backing device it is a virtual block device.
        if (!has_entry(root, std::string(block_dir) + "/" + name + "/device"))
            continue;
        if (auto disk = read_disk(root, name, pci))
            disks.push_back(std::move(*disk));
    }
    return disks;
}

std::vector<std::string> collect_optical_drives(const SysRoot& root) {
    std::vector<std::string> drives;
    std::unordered_set<std::string> listed;
    std::size_t examined = 0;
    for (const auto& name : list_dir(root, block_dir)) {
        if (!starts_with(name, "sr"))
            continue;
        if (++examined > max_disks)
            break;
        std::string model =
            clean_name(trimmed_text(root, std::string(block_dir) + "/" + name + "/device/model"));
        if (model.empty())
            model = "Optical drive";
        if (listed.insert(model).second)
            drives.push_back(std::move(model));
    }
    return drives;
}

}  // namespace nadrel

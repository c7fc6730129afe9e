// Name lookup over the text of an ID database in the layout pci.ids and usb.ids share: vendor
// lines, one-tab device lines, two-tab subsystem (or interface) lines, and a class section of
// "C xx" lines with one-tab subclass lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nadrel {

struct IdNames {
    std::string vendor;
    std::optional<std::string> device;  // nothing when the vendor does not list the device
};

// Where each vendor's and each class's lines start in one database text, built in one walk so
// that the many lookups of a whole PCI inventory each read only their own block. A database
// with more vendor lines than any real one has is not indexed (complete is false) and is walked
// whole per lookup instead.
struct IdIndex {
    // (identifier, offset of the line after the vendor or class line), in text order within
    // one identifier, sorted by identifier.
    std::vector<std::pair<std::uint16_t, std::uint32_t>> vendors;
    std::vector<std::pair<std::uint8_t, std::uint32_t>> classes;
    bool complete = false;
};

// Blocks indexed at most: pci.ids lists about 2,500 vendors and usb.ids about 3,500.
inline constexpr std::size_t max_indexed_blocks = 65536;

IdIndex index_ids(std::string_view db);

// The names of vendor_id and of device_id under it; nothing when the vendor is not listed.
// Walks db without copying it; any text is accepted, and the names are valid UTF-8.
std::optional<IdNames> id_lookup(std::string_view db, std::uint16_t vendor_id,
                                 std::uint16_t device_id);
std::optional<IdNames> id_lookup(std::string_view db, const IdIndex& index, std::uint16_t vendor_id,
                                 std::uint16_t device_id);

// The name of device device_id under vendor vendor_id, or nothing. Walks db once without
// copying it; any text (truncated, binary, enormous) is accepted, and the name is valid UTF-8.
std::optional<std::string> pci_lookup(std::string_view db, std::uint16_t vendor_id,
                                      std::uint16_t device_id);

// The subsystem line "\t\tSSSS DDDD  name" under the device: the name a board maker gave the
// device, or nothing.
std::optional<std::string> subsystem_lookup(std::string_view db, const IdIndex& index,
                                            std::uint16_t vendor_id, std::uint16_t device_id,
                                            std::uint16_t subsystem_vendor_id,
                                            std::uint16_t subsystem_device_id);

struct ClassNames {
    std::string name;                     // "Mass storage controller"
    std::optional<std::string> subclass;  // "SATA controller"; nothing when not listed
};

// The class section's names of a class code and, under it, of a subclass code; nothing when
// the class is not listed.
std::optional<ClassNames> class_lookup(std::string_view db, const IdIndex& index,
                                       std::uint8_t class_id, std::uint8_t subclass_id);

}  // namespace nadrel

// Name lookup over the text of an ID database in the layout pci.ids and usb.ids share: vendor
// lines, one-tab device lines, two-tab subsystem (or interface) lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nadrel {

struct IdNames {
    std::string vendor;
    std::optional<std::string> device;  // nothing when the vendor does not list the device
};

// The names of vendor_id and of device_id under it; nothing when the vendor is not listed.
// Walks db once without copying it; any text is accepted, and the names are valid UTF-8.
std::optional<IdNames> id_lookup(std::string_view db, std::uint16_t vendor_id,
                                 std::uint16_t device_id);

// The name of device device_id under vendor vendor_id, or nothing. Walks db once without
// copying it; any text (truncated, binary, enormous) is accepted, and the name is valid UTF-8.
std::optional<std::string> pci_lookup(std::string_view db, std::uint16_t vendor_id,
                                      std::uint16_t device_id);

}  // namespace nadrel

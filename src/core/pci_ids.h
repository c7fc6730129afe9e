// Device-name lookup over the text of a PCI ID database (the pci.ids format of the public
// PCI ID repository): vendor lines, one-tab device lines, two-tab subsystem lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nadrel {

// The name of device device_id under vendor vendor_id, or nothing. Walks db once without
// copying it; any text (truncated, binary, enormous) is accepted, and the name is valid UTF-8.
std::optional<std::string> pci_lookup(std::string_view db, std::uint16_t vendor_id,
                                      std::uint16_t device_id);

}  // namespace nadrel

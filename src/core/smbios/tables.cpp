// SMBIOS and DMI name tables (DMTF DSP0134) and the placeholder test.
#include "core/smbios/tables.h"

#include <span>

#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

struct Name {
    std::uint8_t code;
    const char* text;
};

const char* find_name(std::span<const Name> table, std::uint8_t code) {
    for (const Name& n : table) {
        if (n.code == code)
            return n.text;
    }
    return nullptr;
}

std::string name_or_empty(std::span<const Name> table, std::uint8_t code) {
    const char* text = find_name(table, code);
    return text != nullptr ? text : "";
}

// System Enclosure or Chassis Types (DSP0134 7.4.1).
constexpr Name chassis_types[] = {
    {3, "Desktop"},
    {4, "Low-profile desktop"},
    {5, "Pizza box"},
    {6, "Mini tower"},
    {7, "Tower"},
    {8, "Portable"},
    {9, "Laptop"},
    {10, "Notebook"},
    {11, "Hand held"},
    {12, "Docking station"},
    {13, "All-in-one"},
    {14, "Sub-notebook"},
    {15, "Space-saving"},
    {16, "Lunch box"},
    {17, "Main server chassis"},
    {23, "Rack-mount chassis"},
    {24, "Sealed-case PC"},
    {28, "Blade"},
    {30, "Tablet"},
    {31, "Convertible"},
    {32, "Detachable"},
    {33, "IoT gateway"},
    {34, "Embedded PC"},
    {35, "Mini PC"},
    {36, "Stick PC"},
};

// Memory Device Type (DSP0134 7.18.2).
constexpr Name memory_types[] = {
    {0x02, "Unknown"}, {0x12, "DDR"},    {0x13, "DDR2"},   {0x14, "DDR2 FB-DIMM"},
    {0x18, "DDR3"},    {0x19, "FBD2"},   {0x1A, "DDR4"},   {0x1B, "LPDDR"},
    {0x1C, "LPDDR2"},  {0x1D, "LPDDR3"}, {0x1E, "LPDDR4"}, {0x1F, "Logical non-volatile device"},
    {0x20, "HBM"},     {0x21, "HBM2"},   {0x22, "DDR5"},   {0x23, "LPDDR5"},
    {0x24, "HBM3"},
};

// Memory Device Form Factor (DSP0134 7.18.1).
constexpr Name form_factors[] = {
    {0x09, "DIMM"}, {0x0A, "TSOP"}, {0x0B, "Row of chips"}, {0x0D, "SODIMM"}, {0x0F, "FB-DIMM"},
};

// Memory Array Error Correction Types (DSP0134 7.17.3).
constexpr Name ecc_types[] = {
    {3, "None"}, {4, "Parity"}, {5, "Single-bit ECC"}, {6, "Multi-bit ECC"}, {7, "CRC"},
};

// Port Types (DSP0134 7.9.3). Only port kinds are named; the connector-style names describe
// plugs rather than the port types this field codes. PCMCIA, PC-98, MIDI, joystick, modem and
// the 8251 codes stay unnamed, which leaves those ports out.
constexpr Name port_types[] = {
    {0x01, "Parallel"}, {0x02, "Parallel"}, {0x03, "Parallel"},    {0x04, "Parallel"},
    {0x05, "Parallel"}, {0x06, "Serial"},   {0x07, "Serial"},      {0x08, "Serial"},
    {0x09, "Serial"},   {0x0A, "SCSI"},     {0x0D, "Keyboard"},    {0x0E, "Mouse"},
    {0x0F, "SSA SCSI"}, {0x10, "USB"},      {0x11, "FireWire"},    {0x18, "SCSI Wide"},
    {0x1C, "Video"},    {0x1D, "Audio"},    {0x1F, "Network"},     {0x20, "SATA"},
    {0x21, "SAS"},      {0x22, "MFDP"},     {0x23, "Thunderbolt"}, {0xFF, "Other"},
};

// System Slot Type (DSP0134 7.10.1), apart from the PCI Express groups.
constexpr Name slot_types[] = {
    {0x01, "Other"},
    {0x02, "Unknown"},
    {0x06, "PCI"},
    {0x0F, "AGP"},
    {0x10, "AGP 2X"},
    {0x11, "AGP 4X"},
    {0x12, "PCI-X"},
    {0x13, "AGP 8X"},
    {0x14, "M.2 Socket 1-DP (Key A)"},
    {0x15, "M.2 Socket 1-SD (Key E)"},
    {0x16, "M.2 Socket 2 (Key B)"},
    {0x17, "M.2 Socket 3 (Key M)"},
    {0x1F, "PCIe Gen2 U.2"},
    {0x20, "PCIe Gen3 U.2"},
    {0x21, "PCIe Mini (mSATA)"},
    {0x22, "PCIe Mini (mSATA)"},
    {0x23, "PCIe Mini 76-pin"},
    {0x24, "PCIe Gen4 U.2"},
    {0x25, "PCIe Gen5 U.2"},
    {0x26, "OCP NIC"},
    {0x27, "OCP NIC"},
    {0x28, "OCP NIC"},
    {0xC4, "PCI Express Gen6+"},
};

// System Slot Data Bus Width (DSP0134 7.10.2).
constexpr Name slot_widths[] = {
    {0x08, "x1"},  {0x09, "x2"},  {0x0A, "x4"},  {0x0B, "x8"},
    {0x0C, "x12"}, {0x0D, "x16"}, {0x0E, "x32"},
};

// Letters and digits only, lower-cased: "CPU Socket", "CPUSocket" and "cpu_socket" are one name.
std::string letters_and_digits(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))
            out += c;
        else if (c >= 'A' && c <= 'Z')
            out += static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

// "SOCKET 0", "Socket #1" and "SKU1" repeat the field's name with an index.
bool names_its_field(std::string_view text, std::span<const std::string_view> field_names) {
    while (!text.empty() && text.back() >= '0' && text.back() <= '9')
        text.remove_suffix(1);
    const std::string name = letters_and_digits(text);
    if (name.empty())
        return false;
    for (const std::string_view field : field_names) {
        if (name == letters_and_digits(field))
            return true;
    }
    return false;
}

}  // namespace

bool is_placeholder(std::string_view text, std::span<const std::string_view> field_names) {
    const std::string_view trimmed = trim(text);
    if (trimmed.empty())
        return true;
    const std::string lower = ascii_lower(trimmed);
    for (const std::string_view part :
         {"to be filled", "default string", "not specified", "not applicable", "to be defined"}) {
        if (contains(lower, part))
            return true;
    }
    for (const std::string_view whole :
         {"n/a", "oem", "none", "o.e.m.", "unknown", "manufacturer", "product name",
          "system version", "system manufacturer", "system product name", "chassis manufacture",
          "system serial number"}) {
        if (lower == whole)
            return true;
    }
    if (names_its_field(trimmed, field_names))
        return true;
    std::size_t i = 0;
    while (i < lower.size()) {
        const char32_t c = next_char(lower, i);
        if (c != '-' && c != '.' && c != '0' && !is_unicode_space(c))
            return false;
    }
    return true;
}

std::string chassis_name(std::uint64_t code) {
    return name_or_empty(chassis_types, static_cast<std::uint8_t>(code % 256));
}

std::string memory_type_name(std::uint8_t code) {
    const char* text = find_name(memory_types, code);
    return text != nullptr ? text : "Other";
}

std::string form_factor_name(std::uint8_t code) {
    return name_or_empty(form_factors, code);
}

std::string memory_ecc_name(std::uint8_t code) {
    return name_or_empty(ecc_types, code);
}

std::optional<std::string> port_type_name(std::uint8_t code) {
    const char* text = find_name(port_types, code);
    if (text == nullptr)
        return std::nullopt;
    return text;
}

std::string slot_type_name(std::uint8_t code) {
    // PCI Express codes come in groups of six: the generation without a width, then x1 to x16.
    static constexpr const char* widths[] = {"", " x1", " x2", " x4", " x8", " x16"};
    static constexpr Name groups[] = {
        {0xA5, ""}, {0xAB, " Gen2"}, {0xB1, " Gen3"}, {0xB8, " Gen4"}, {0xBE, " Gen5"}};
    for (const Name& g : groups) {
        if (code >= g.code && code < g.code + 6) {
            return std::string("PCI Express") + g.text + widths[code - g.code];
        }
    }
    const char* text = find_name(slot_types, code);
    return text != nullptr ? text : strfmt("Slot type 0x%02X", unsigned{code});
}

std::string slot_width_name(std::uint8_t code) {
    return name_or_empty(slot_widths, code);
}

std::string slot_usage_name(std::uint8_t code) {
    switch (code) {
        case 3:
            return "Available";
        case 4:
            return "In use";
        case 5:
            return "Unavailable";
        default:
            return "Unknown";
    }
}

}  // namespace nadrel

// Decoders for SMBIOS types 0, 4, 8, 9, 16 and 17 (DMTF DSP0134 sections 7.1, 7.5, 7.9, 7.10,
// 7.17 and 7.18), built on reads that never leave the formatted area.
#include "core/smbios/decode.h"

#include <utility>

#include "core/smbios/tables.h"
#include "core/text/names.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::uint64_t kib = 1024;
constexpr std::uint64_t mib = kib * 1024;
constexpr std::uint64_t gib = mib * 1024;

std::uint64_t read_le(const DmiStructure& s, std::size_t offset, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = (value << 8) | smbios_byte(s, offset + i);
    return value;
}

}  // namespace

std::uint8_t smbios_byte(const DmiStructure& s, std::size_t offset) {
    return offset < s.formatted.size() ? s.formatted[offset] : 0;
}

std::uint16_t smbios_word(const DmiStructure& s, std::size_t offset) {
    return static_cast<std::uint16_t>(read_le(s, offset, 2));
}

std::uint32_t smbios_dword(const DmiStructure& s, std::size_t offset) {
    return static_cast<std::uint32_t>(read_le(s, offset, 4));
}

std::uint64_t smbios_qword(const DmiStructure& s, std::size_t offset) {
    return read_le(s, offset, 8);
}

std::string smbios_string(const DmiStructure& s, std::size_t n) {
    if (n == 0 || n > s.strings.size())
        return {};
    return std::string(trim(s.strings[n - 1]));
}

std::string smbios_string_at(const DmiStructure& s, std::size_t offset) {
    return smbios_string(s, smbios_byte(s, offset));
}

std::optional<MemoryModule> decode_memory_device(const DmiStructure& s) {
    // Size (0Ch): 0 = no module, FFFFh = unknown, 7FFFh = see Extended Size (1Ch, MiB in bits
    // 0-30); otherwise bits 0-14 in KiB when bit 15 is set, else in MiB.
    const std::uint16_t size_word = smbios_word(s, 0x0C);
    if (size_word == 0 || size_word == 0xFFFF)
        return std::nullopt;
    std::uint64_t size = 0;
    if (size_word == 0x7FFF) {
        size = (smbios_dword(s, 0x1C) & 0x7FFFFFFFu) * mib;
    } else {
        size = (size_word & 0x7FFFu) * ((size_word & 0x8000u) != 0 ? kib : mib);
    }
    // A listed module always has a size; "8000h" (0 KiB) is as empty as "0".
    if (size == 0)
        return std::nullopt;

    MemoryModule m;
    m.size = size;
    m.locator = collapse_spaces(smbios_string_at(s, 0x10));
    // Bank Locator (11h) tells apart the "DIMM 0" of every channel; "Not Specified" tells nothing.
    if (std::string bank = collapse_spaces(smbios_string_at(s, 0x11)); !is_placeholder(bank))
        m.bank_locator = std::move(bank);
    m.memory_type = s.formatted.size() < 0x13 ? "Other" : memory_type_name(smbios_byte(s, 0x12));
    m.form_factor = form_factor_name(smbios_byte(s, 0x0E));
    m.manufacturer = collapse_spaces(smbios_string_at(s, 0x17));
    m.part_number = collapse_spaces(smbios_string_at(s, 0x1A));
    static constexpr std::string_view serial_names[] = {"serial number", "serial"};
    static constexpr std::string_view asset_tag_names[] = {"asset tag", "asset tag number"};
    if (std::string text = smbios_string_at(s, 0x18); !is_placeholder(text, serial_names))
        m.serial = std::move(text);
    if (std::string text = smbios_string_at(s, 0x19); !is_placeholder(text, asset_tag_names))
        m.asset_tag = std::move(text);
    // Speeds in MT/s; FFFFh points to the 32-bit extended fields (SMBIOS 3.3).
    m.speed_mts = smbios_word(s, 0x15);
    if (m.speed_mts == 0xFFFF)
        m.speed_mts = smbios_dword(s, 0x54);
    m.configured_speed_mts = smbios_word(s, 0x20);
    if (m.configured_speed_mts == 0xFFFF)
        m.configured_speed_mts = smbios_dword(s, 0x58);
    m.total_width = smbios_word(s, 0x08);
    m.data_width = smbios_word(s, 0x0A);
    m.rank = static_cast<std::uint8_t>(smbios_byte(s, 0x1B) & 0x0F);
    m.configured_voltage_mv = smbios_word(s, 0x26);
    return m;
}

SystemSlot decode_slot(const DmiStructure& s) {
    SystemSlot slot;
    slot.designation = smbios_string_at(s, 0x04);
    slot.slot_type = slot_type_name(smbios_byte(s, 0x05));
    if (s.formatted.size() >= 7) {
        slot.width = slot_width_name(smbios_byte(s, 0x06));
        // "PCI Express x16" already says its width (and "x1" is inside "x16": plain substring).
        if (contains(slot.slot_type, slot.width))
            slot.width.clear();
    }
    slot.usage = s.formatted.size() > 7 ? slot_usage_name(smbios_byte(s, 0x07)) : "Unknown";
    return slot;
}

std::optional<PortConnector> decode_port(const DmiStructure& s) {
    if (s.formatted.size() < 9)
        return std::nullopt;
    const std::uint8_t code = smbios_byte(s, 0x08);
    auto name = port_type_name(code);
    if (!name)
        return std::nullopt;
    std::string designator = smbios_string_at(s, 0x06);  // external reference designator
    if (designator.empty())
        designator = smbios_string_at(s, 0x04);  // internal
    // An "Other" port with no real label tells the reader nothing.
    if (code == 0xFF && is_placeholder(designator))
        return std::nullopt;
    return PortConnector{std::move(designator), std::move(*name)};
}

std::uint64_t memory_array_capacity(const DmiStructure& s) {
    // Maximum Capacity (07h) in KiB; 80000000h defers to Extended Maximum Capacity (0Fh), bytes.
    const std::uint32_t kib_value = smbios_dword(s, 0x07);
    if (kib_value == 0x80000000u)
        return smbios_qword(s, 0x0F);
    return kib_value * kib;
}

std::uint32_t memory_array_devices(const DmiStructure& s) {
    const std::uint16_t n = smbios_word(s, 0x0D);
    return n == 0xFFFF ? 0 : n;
}

std::string memory_array_ecc(const DmiStructure& s) {
    // Memory Error Correction is the byte at 06h (0Dh-0Eh is the device count word).
    if (s.formatted.size() < 15)
        return {};
    return memory_ecc_name(smbios_byte(s, 0x06));
}

std::string processor_socket(const DmiStructure& s) {
    return smbios_string_at(s, 0x04);
}

bool processor_populated(const DmiStructure& s) {
    // Status (18h), bit 6: CPU socket populated.
    return s.formatted.size() >= 25 && (smbios_byte(s, 0x18) & 0x40) != 0;
}

std::uint64_t bios_rom_size(const DmiStructure& s) {
    // ROM Size (09h): 64 KiB x (n + 1); FFh defers to Extended BIOS ROM Size (18h): bits 0-13
    // the size, bits 14-15 the unit (0 MiB, 1 GiB, others reserved). Tables before SMBIOS 3.1
    // have no 18h field, and their FFh means 16 MiB or more (dmidecode reads 16 MB).
    const std::uint8_t n = smbios_byte(s, 0x09);
    std::uint64_t size = 0;
    if (n != 0xFF) {
        size = (n + std::uint64_t{1}) * 64 * kib;
    } else if (s.formatted.size() < 0x1A) {
        size = 16 * mib;
    } else {
        const std::uint16_t ext = smbios_word(s, 0x18);
        const std::uint64_t value = ext & 0x3FFFu;
        switch (ext >> 14) {
            case 0:
                size = value * mib;
                break;
            case 1:
                size = value * gib;
                break;
            default:
                size = 0;
                break;
        }
    }
    return size - size % (64 * kib);
}

}  // namespace nadrel

// The "--dump-smbios" text: each structure as a heading, a hex dump of its formatted area and its
// strings (control bytes escaped), with serial numbers, asset tags, the system UUID and the
// leftover strings of identifying structures blanked first.
#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "core/smbios/smbios.h"
#include "core/text/clean_text.h"
#include "core/text/fmt.h"

namespace nadrel {

namespace {

const char* type_name(std::uint8_t type) {
    switch (type) {
        case 0:
            return "BIOS Information";
        case 1:
            return "System Information";
        case 2:
            return "Baseboard";
        case 3:
            return "Chassis";
        case 4:
            return "Processor Information";
        case 7:
            return "Cache Information";
        case 8:
            return "Port Connector";
        case 9:
            return "System Slots";
        case 16:
            return "Physical Memory Array";
        case 17:
            return "Memory Device";
        case 19:
            return "Memory Array Mapped Address";
        case 32:
            return "System Boot Information";
        default:
            return nullptr;
    }
}

// The string fields that carry serial numbers and asset tags (byte offsets into the
// formatted area, DSP0134 3.x): System (7.2), Baseboard (7.3), Chassis (7.4), Processor (7.5),
// Memory Device (7.18), Portable Battery (7.23) and System Power Supply (7.40).
struct Redaction {
    std::uint8_t type;
    std::uint8_t offset;
};

constexpr Redaction redactions[] = {
    {1, 0x07},               // Serial Number
    {2, 0x07},  {2, 0x08},   // Serial Number, Asset Tag
    {3, 0x07},  {3, 0x08},   // Serial Number, Asset Tag Number
    {4, 0x20},  {4, 0x21},   // Serial Number, Asset Tag
    {17, 0x18}, {17, 0x19},  // Serial Number, Asset Tag
    {22, 0x07},              // Serial Number
    {39, 0x08}, {39, 0x09},  // Serial Number, Asset Tag Number
};

// Every string field of the structures above (DSP0134 3.7): a string none of them points at
// is a leftover (an empty slot still carrying its module's asset tag) and is blanked too.
// The Chassis SKU Number sits after the contained elements and is found separately.
struct StringFields {
    std::uint8_t type;
    std::array<std::uint8_t, 8> offsets;  // 0 ends the list
};

constexpr StringFields string_fields[] = {
    {1, {0x04, 0x05, 0x06, 0x07, 0x19, 0x1A}},
    {2, {0x04, 0x05, 0x06, 0x07, 0x08, 0x0A}},
    {3, {0x04, 0x06, 0x07, 0x08}},
    {4, {0x04, 0x07, 0x10, 0x20, 0x21, 0x22, 0x32}},
    {17, {0x10, 0x11, 0x17, 0x18, 0x19, 0x1A, 0x2B}},
    {22, {0x04, 0x05, 0x06, 0x07, 0x08, 0x0E, 0x14}},
    {39, {0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B}},
};

// Chassis (7.4): n contained elements (13h) of m bytes each (14h) start at 15h; the SKU
// Number string follows them.
std::size_t chassis_sku_offset(const DmiStructure& s) {
    if (s.formatted.size() <= 0x14)
        return 0;
    return 0x15 + std::size_t{s.formatted[0x13]} * s.formatted[0x14];
}

// OEM Strings (7.12) and System Configuration Options (7.13) are free text where vendors put
// service tags and disk serials: every string goes.
bool redacts_every_string(std::uint8_t type) {
    return type == 11 || type == 12;
}

// System UUID: the 16 bytes at 08h of type 1.
constexpr std::size_t uuid_offset = 0x08;
constexpr std::size_t uuid_size = 16;
// Portable Battery: the SBDS Serial Number word at 10h, used when the string is absent.
constexpr std::size_t sbds_serial_offset = 0x10;

constexpr std::string_view redacted_text = "<redacted>";

void blank_string(const DmiStructure& original, std::size_t offset, DmiStructure& copy) {
    if (offset >= original.formatted.size())
        return;
    const std::size_t n = original.formatted[offset];
    if (n == 0 || n > copy.strings.size())
        return;
    copy.strings[n - 1] = redacted_text;
}

void zero_bytes(std::vector<std::uint8_t>& area, std::size_t offset, std::size_t size) {
    if (area.size() <= offset)
        return;
    const std::size_t end = std::min(area.size(), offset + size);
    std::fill(area.begin() + static_cast<std::ptrdiff_t>(offset),
              area.begin() + static_cast<std::ptrdiff_t>(end), std::uint8_t{0});
}

// Blanks the strings that no string field of an identifying structure references.
void blank_unreferenced(const DmiStructure& s, DmiStructure& copy) {
    const auto fields = std::find_if(std::begin(string_fields), std::end(string_fields),
                                     [&](const StringFields& f) { return f.type == s.type; });
    if (fields == std::end(string_fields))
        return;
    std::vector<bool> referenced(s.strings.size(), false);
    const auto mark = [&](std::size_t offset) {
        if (offset == 0 || offset >= s.formatted.size())
            return;
        const std::size_t n = s.formatted[offset];
        if (n != 0 && n <= referenced.size())
            referenced[n - 1] = true;
    };
    for (const std::uint8_t offset : fields->offsets)
        mark(offset);
    if (s.type == 3)
        mark(chassis_sku_offset(s));
    for (std::size_t i = 0; i < referenced.size(); ++i) {
        if (!referenced[i])
            copy.strings[i] = redacted_text;
    }
}

DmiStructure redacted(const DmiStructure& s) {
    DmiStructure copy = s;
    for (const Redaction& r : redactions) {
        if (r.type == s.type)
            blank_string(s, r.offset, copy);
    }
    blank_unreferenced(s, copy);
    if (redacts_every_string(s.type)) {
        for (auto& text : copy.strings)
            text = redacted_text;
    }
    if (s.type == 1)
        zero_bytes(copy.formatted, uuid_offset, uuid_size);
    if (s.type == 22)
        zero_bytes(copy.formatted, sbds_serial_offset, 2);
    return copy;
}

void append_structure(std::string& out, const DmiStructure& s) {
    const char* name = type_name(s.type);
    out += strfmt("\nType %u%s%s%s, %zu bytes\n", unsigned{s.type}, name != nullptr ? " (" : "",
                  name != nullptr ? name : "", name != nullptr ? ")" : "", s.formatted.size());
    for (std::size_t line = 0; line < s.formatted.size(); line += 16) {
        out += strfmt("  %02zX:", line);
        const std::size_t end = std::min(s.formatted.size(), line + 16);
        for (std::size_t i = line; i < end; ++i)
            out += strfmt(" %02X", unsigned{s.formatted[i]});
        out += '\n';
    }
    for (std::size_t i = 0; i < s.strings.size(); ++i) {
        out += strfmt("  [%zu] ", i + 1);
        out += escape_controls(s.strings[i]);
        out += '\n';
    }
}

}  // namespace

std::string format_smbios_dump(std::span<const DmiStructure> structures) {
    std::string out = strfmt("SMBIOS: %zu structures\n", structures.size());
    out += "(serial numbers, asset tags, and the system UUID are redacted)\n";
    for (const DmiStructure& s : structures)
        append_structure(out, redacted(s));
    return out;
}

}  // namespace nadrel

// The "--dump-smbios" text: each structure as a heading, a hex dump of its formatted area and its
// strings, with serial numbers, asset tags and the system UUID blanked first.
#include <algorithm>

#include "core/fmt.h"
#include "core/smbios.h"

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

struct Redaction {
    std::uint8_t type;
    std::size_t serial;     // offset of the Serial Number string number
    std::size_t asset_tag;  // offset of the Asset Tag string number; 0 when the type has none
};

// DSP0134: System (7.2), Baseboard (7.3), Chassis (7.4), Processor (7.5), Memory Device (7.18).
constexpr Redaction redactions[] = {
    {1, 0x07, 0}, {2, 0x07, 0x08}, {3, 0x07, 0x08}, {4, 0x20, 0x21}, {17, 0x18, 0x19}};

// System UUID: the 16 bytes at 08h of type 1.
constexpr std::size_t uuid_offset = 0x08;
constexpr std::size_t uuid_size = 16;

void blank_string(const DmiStructure& original, std::size_t offset, DmiStructure& copy) {
    if (offset == 0 || offset >= original.formatted.size())
        return;
    const std::size_t n = original.formatted[offset];
    if (n == 0 || n > copy.strings.size())
        return;
    copy.strings[n - 1] = "<redacted>";
}

DmiStructure redacted(const DmiStructure& s) {
    DmiStructure copy = s;
    for (const Redaction& r : redactions) {
        if (r.type != s.type)
            continue;
        blank_string(s, r.serial, copy);
        blank_string(s, r.asset_tag, copy);
    }
    if (s.type == 1 && copy.formatted.size() > uuid_offset) {
        const std::size_t end = std::min(copy.formatted.size(), uuid_offset + uuid_size);
        std::fill(copy.formatted.begin() + uuid_offset,
                  copy.formatted.begin() + static_cast<std::ptrdiff_t>(end), std::uint8_t{0});
    }
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
        out += s.strings[i];
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

// SMBIOS and DMI name tables (DMTF DSP0134) and the placeholder test.
#include "core/smbios_tables.h"

#include "core/unicode.h"

namespace nadrel {

bool is_placeholder(std::string_view text) {
    const std::string_view trimmed = trim(text);
    if (trimmed.empty()) return true;
    const std::string lower = ascii_lower(trimmed);
    for (const std::string_view part : {"to be filled", "default string", "not specified",
                                        "not applicable", "to be defined"}) {
        if (contains(lower, part)) return true;
    }
    for (const std::string_view whole :
         {"n/a", "oem", "none", "o.e.m.", "unknown", "manufacturer", "product name",
          "system version", "system manufacturer", "system product name", "chassis manufacture",
          "system serial number"}) {
        if (lower == whole) return true;
    }
    std::size_t i = 0;
    while (i < lower.size()) {
        const char32_t c = next_char(lower, i);
        if (c != '-' && c != '.' && c != '0' && !is_unicode_space(c)) return false;
    }
    return true;
}

std::string chassis_name(std::uint64_t code) {
    switch (code % 256) {
        case 3: return "Desktop";
        case 4: return "Low-profile desktop";
        case 5: return "Pizza box";
        case 6: return "Mini tower";
        case 7: return "Tower";
        case 8: return "Portable";
        case 9: return "Laptop";
        case 10: return "Notebook";
        case 11: return "Hand held";
        case 12: return "Docking station";
        case 13: return "All-in-one";
        case 14: return "Sub-notebook";
        case 15: return "Space-saving";
        case 16: return "Lunch box";
        case 17: return "Main server chassis";
        case 23: return "Rack-mount chassis";
        case 24: return "Sealed-case PC";
        case 28: return "Blade";
        case 30: return "Tablet";
        case 31: return "Convertible";
        case 32: return "Detachable";
        case 33: return "IoT gateway";
        case 34: return "Embedded PC";
        case 35: return "Mini PC";
        case 36: return "Stick PC";
        default: return {};
    }
}

}  // namespace nadrel

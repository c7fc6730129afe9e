// Report rows: MOTHERBOARD (board, firmware, chassis, sockets, security, ports and slots).
#include <string>
#include <utility>

#include "core/report/column_table.h"
#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

std::string with_note(const std::string& text, const std::string& note) {
    return note.empty() ? text : text + " (" + note + ")";
}

void append_identity(std::vector<ReportRow>& rows, const SystemSnapshot& s, bool detail) {
    const DmiIdentity& dmi = s.dmi;
    const std::string board = join({dmi.board_vendor, dmi.board_name}, " ");
    if (!board.empty()) {
        rows.push_back(field("Board", with_note(board, dmi.board_version)));
    } else if (!s.devicetree_model.empty()) {
        // Boards without DMI (most Arm ones) name themselves in the device tree.
        rows.push_back(field("Board", s.devicetree_model));
        if (detail && !s.devicetree_compatible.empty())
            rows.push_back(sub_field("Compatible", s.devicetree_compatible));
    } else {
        rows.push_back(field("Board", "(SMBIOS data unavailable)"));
    }

    const std::string system = join({dmi.sys_vendor, dmi.product_name}, " ");
    if (!system.empty())
        rows.push_back(field("System", system));
    if (detail && !dmi.product_sku.empty())
        rows.push_back(field("Product SKU", dmi.product_sku));

    const std::string bios = join({dmi.bios_vendor, dmi.bios_version}, " ");
    if (!bios.empty())
        rows.push_back(field("BIOS", with_note(bios, dmi.bios_date)));
    if (detail) {
        if (!s.smbios_version.empty())
            rows.push_back(sub_field("SMBIOS", s.smbios_version));
        if (s.bios_rom_size != 0)
            rows.push_back(sub_field("ROM", format_size(s.bios_rom_size)));
    }
}

void append_platform(std::vector<ReportRow>& rows, const SystemSnapshot& s, bool detail) {
    if (!s.chassis.empty())
        rows.push_back(field("Chassis", s.chassis));
    if (!s.cpu_socket.empty()) {
        if (s.cpu_sockets < 2) {
            rows.push_back(field("CPU socket", s.cpu_socket));
        } else {
            rows.push_back(
                field("CPU sockets", s.cpu_socket + " (" + std::to_string(s.cpu_sockets_populated) +
                                         " of " + std::to_string(s.cpu_sockets) + " populated)"));
        }
    }
    if (!s.tpm.empty())
        rows.push_back(field("TPM", s.tpm));
    if (!s.secure_boot.empty())
        rows.push_back(field("Secure Boot", s.secure_boot));
    if (detail && s.usb_ports != 0)
        rows.push_back(field("USB ports", std::to_string(s.usb_ports)));
}

void append_inventories(std::vector<ReportRow>& rows, const SystemSnapshot& s) {
    if (!s.ports.empty()) {
        rows.push_back(field("Port connectors", ""));
        std::vector<std::vector<std::string>> cells;
        for (const auto& port : s.ports)
            cells.push_back({port.designator, port.port_type});
        append(rows, column_table({"Designation", "Type"}, cells));
    }
    if (!s.slots.empty()) {
        rows.push_back(field("Slot inventory", ""));
        std::vector<std::vector<std::string>> cells;
        for (const auto& slot : s.slots) {
            cells.push_back({slot.designation, slot.slot_type, slot.width, slot.usage});
        }
        append(rows, column_table({"Designation", "Type", "Width", "Usage"}, cells));
    }
}

// Usage is left out of every line when all slots (two or more) are in use.
bool all_in_use(const std::vector<SystemSlot>& slots) {
    if (slots.size() < 2)
        return false;
    for (const auto& slot : slots) {
        if (slot.usage != slots.front().usage)
            return false;
    }
    return ascii_lower(slots.front().usage) == "in use";
}

void append_slot_summary(std::vector<ReportRow>& rows, const std::vector<SystemSlot>& slots) {
    const bool hide_usage = all_in_use(slots);
    std::vector<std::pair<std::string, std::size_t>> counted;
    for (const auto& slot : slots) {
        std::string line = slot.slot_type;
        if (!slot.width.empty())
            line += " " + slot.width;
        if (!slot.usage.empty() && !hide_usage)
            line += " - " + slot.usage;
        bool seen = false;
        for (auto& entry : counted) {
            if (entry.first != line)
                continue;
            ++entry.second;
            seen = true;
            break;
        }
        if (!seen)
            counted.emplace_back(std::move(line), 1);
    }
    rows.push_back(field("Expansion slots", ""));
    for (const auto& [line, count] : counted) {
        rows.push_back(bullet(count == 1 ? line : std::to_string(count) + " x " + line));
    }
}

}  // namespace

std::vector<ReportRow> motherboard_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    append_identity(rows, s, detail);
    append_platform(rows, s, detail);
    if (detail) {
        append_inventories(rows, s);
    } else if (!s.slots.empty()) {
        append_slot_summary(rows, s.slots);
    }
    return rows;
}

}  // namespace nadrel

// Report rows: BATTERY (each pack's charge, capacity, wear and chemistry; the mains adapter;
// peripherals' batteries).
#include "core/battery.h"

#include <cmath>

#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

// "71% (Discharging, 9.9W, 3h 3m left)"; without a percentage, the state alone.
std::string charge_text(const BatteryInfo& b) {
    std::vector<std::string> notes;
    notes.push_back(b.status);
    if (b.power_mw && *b.power_mw != 0)
        notes.push_back(strfmt("%.1fW", *b.power_mw / 1000.0));
    if (b.time_to_empty_s && b.status == "Discharging")
        notes.push_back(format_duration(*b.time_to_empty_s) + " left");
    if (b.time_to_full_s && b.status == "Charging")
        notes.push_back(format_duration(*b.time_to_full_s) + " to full");
    const std::string note = join(notes, ", ");
    if (!b.charge_percent)
        return note;
    const std::string percent = strfmt("%u%%", unsigned{*b.charge_percent});
    return note.empty() ? percent : percent + " (" + note + ")";
}

// "DELL 0FGNC (SMP)": the model with its maker, else the maker, else empty.
std::string model_text(std::string_view model, std::string_view maker) {
    if (model.empty())
        return std::string(maker);
    if (maker.empty() || contains(ascii_lower(model), ascii_lower(maker)))
        return std::string(model);
    return std::string(model) + " (" + std::string(maker) + ")";
}

// The rows of one pack, as Field rows (one pack) or SubField rows under its group.
void add_pack(std::vector<ReportRow>& rows, const BatteryInfo& b, bool detail, bool grouped) {
    const auto add = [&rows, grouped](std::string label, std::string_view value) {
        rows.push_back(grouped ? sub_field(std::move(label), value)
                               : field(std::move(label), value));
    };
    if (const std::string charge = charge_text(b); !charge.empty())
        add("Charge", charge);
    if (!grouped) {
        if (const std::string model = model_text(b.model, b.manufacturer); !model.empty())
            add("Model", model);
    }
    if (b.design_mwh != 0 && b.full_mwh != 0) {
        const double design = b.design_mwh;
        const double full = b.full_mwh;
        add("Design capacity", strfmt("%.1fWh", design / 1000.0));
        add("Full charge", strfmt("%.1fWh", full / 1000.0));
        add("Wear", strfmt("%.1f%%", battery_wear_percent(b)));
    }
    if (!b.technology.empty())
        add("Chemistry", b.technology);
    if (b.cycle_count)
        add("Cycle count", std::to_string(*b.cycle_count));
    if (detail) {
        if (b.min_voltage_mv != 0)
            add("Design voltage", strfmt("%.2fV", b.min_voltage_mv / 1000.0));
        if (!b.manufactured.empty())
            add("Manufactured", b.manufactured);
    }
}

std::string device_battery_item(const DeviceBattery& d) {
    std::string name = model_text(d.model, "");
    if (!d.manufacturer.empty() && !contains(ascii_lower(name), ascii_lower(d.manufacturer)))
        name = join({d.manufacturer, name}, " ");
    if (name.empty())
        name = "Device battery";
    std::string state;
    if (d.charge_percent)
        state = strfmt("%u%%", unsigned{*d.charge_percent});
    else
        state = d.level;
    return state.empty() ? name : name + " (" + state + ")";
}

}  // namespace

std::vector<ReportRow> battery_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    const bool grouped = s.batteries.size() > 1;
    std::size_t number = 0;
    for (const BatteryInfo& b : s.batteries) {
        if (grouped) {
            const std::string model = model_text(b.model, b.manufacturer);
            rows.push_back(field(strfmt("Battery %zu", ++number), model.empty() ? b.name : model));
        }
        add_pack(rows, b, detail, grouped);
    }
    if (!s.batteries.empty() && s.ac_online)
        rows.push_back(field("AC adapter", *s.ac_online ? "Connected" : "Not connected"));
    std::vector<std::string> devices;
    for (const DeviceBattery& d : s.device_batteries)
        devices.push_back(device_battery_item(d));
    append(rows, list_rows("Device batteries", devices));
    return rows;
}

}  // namespace nadrel

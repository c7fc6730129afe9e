// Report rows: STORAGE (one group per disk, then what is mounted and built on them) and
// NETWORK (adapters and their links).
#include <algorithm>
#include <utility>

#include "core/report/device_text.h"
#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/report/storage_layout.h"
#include "core/text/fmt.h"
#include "core/text/inet.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

std::string disk_headline(const DiskInfo& disk) {
    const std::string model = disk.model.empty() ? "Unknown drive" : disk.model;
    std::string medium;
    if (disk.solid_state)
        medium = *disk.solid_state ? "SSD" : "HDD";
    const std::string tags = join({disk.bus, medium}, ", ");
    return tags.empty() ? model : model + " (" + tags + ")";
}

std::string sector_size(std::uint32_t logical, std::uint32_t physical) {
    if (logical != 0) {
        if (physical != 0 && physical != logical) {
            return strfmt("%uB logical  /  %uB physical", logical, physical);
        }
        return strfmt("%uB", logical);
    }
    if (physical != 0)
        return strfmt("%uB physical", physical);
    return {};
}

void append_disk(std::vector<ReportRow>& rows, const DiskInfo& disk, bool detail) {
    rows.push_back(field("Disk " + disk.name, disk_headline(disk)));
    if (disk.size != 0)
        rows.push_back(sub_field("Capacity", format_size(disk.size)));
    if (disk.temperature_c)
        rows.push_back(sub_field("Temperature", format_celsius(*disk.temperature_c)));
    if (!detail)
        return;
    if (!disk.firmware.empty())
        rows.push_back(sub_field("Firmware", disk.firmware));
    const std::string sectors = sector_size(disk.logical_block, disk.physical_block);
    if (!sectors.empty())
        rows.push_back(sub_field("Sector size", sectors));
    if (disk.rpm > 1)
        rows.push_back(sub_field("Rotation", strfmt("%u RPM", disk.rpm)));
    if (const std::string link = disk_link_text(disk); !link.empty())
        rows.push_back(sub_field("Link", link));
    if (!disk.driver.empty())
        rows.push_back(sub_field("Driver", disk.driver));
}

// "Realtek RTL8111 (Ethernet, connected)": the kind only when the name does not already say it.
std::string adapter_item(const NetAdapter& adapter) {
    const std::string name = adapter_name(adapter);
    const bool kind_in_name = contains(ascii_lower(name), ascii_lower(adapter.kind));
    const std::string notes = join(
        {kind_in_name ? std::string() : adapter.kind, adapter.link_up ? "connected" : ""}, ", ");
    return notes.empty() ? name : name + " (" + notes + ")";
}

// The addresses the text shows: link-local IPv6 ones are on every interface and say nothing.
std::string shown_addresses(const NetAdapter& adapter) {
    std::vector<std::string> parts;
    for (const NetAddress& address : adapter.addresses) {
        if (!(address.ipv6 && is_link_local_ipv6(address.address)))
            parts.push_back(address_text(address));
    }
    return join(parts, ", ");
}

// Identical items (the ports of one card) counted: "2 x Intel I350 Gigabit (Ethernet)".
std::vector<std::string> counted_items(const std::vector<std::string>& items) {
    std::vector<std::pair<std::string, std::size_t>> counted;
    for (const std::string& item : items) {
        const auto found = std::find_if(counted.begin(), counted.end(),
                                        [&item](const auto& entry) { return entry.first == item; });
        if (found != counted.end()) {
            ++found->second;
        } else {
            counted.emplace_back(item, 1);
        }
    }
    std::vector<std::string> out;
    for (const auto& [item, count] : counted)
        out.push_back(count == 1 ? item : std::to_string(count) + " x " + item);
    return out;
}

}  // namespace

std::vector<ReportRow> storage_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows;
    const BlockIndex index = index_blocks(s);
    for (const auto& disk : s.disks) {
        append_disk(rows, disk, detail);
        if (detail)
            append(rows, partition_rows(s, index, disk));
    }
    append(rows, layout_rows(s, index, detail));
    return rows;
}

std::vector<ReportRow> network_rows(const SystemSnapshot& s, bool detail) {
    if (!detail) {
        std::vector<std::string> items;
        for (const auto& adapter : s.net_adapters)
            items.push_back(adapter_item(adapter));
        return list_rows("Adapters", counted_items(items));
    }
    std::vector<ReportRow> rows;
    const bool numbered = s.net_adapters.size() != 1;
    std::size_t number = 0;
    for (const auto& adapter : s.net_adapters) {
        ++number;
        rows.push_back(
            field(numbered ? strfmt("Adapter %zu", number) : "Adapter", adapter_name(adapter)));
        if (!adapter.kind.empty())
            rows.push_back(sub_field("Medium", adapter.kind));
        rows.push_back(sub_field("Link", adapter.link_up ? "Connected" : "Not connected"));
        if (adapter.speed_mbps != 0) {
            rows.push_back(sub_field("Link speed", format_speed(adapter.speed_mbps)));
        }
        if (!adapter.driver.empty())
            rows.push_back(sub_field("Driver", adapter.driver));
        if (adapter.mtu != 0 && adapter.mtu != 1500)
            rows.push_back(sub_field("MTU", std::to_string(adapter.mtu)));
        if (const std::string addresses = shown_addresses(adapter); !addresses.empty())
            rows.push_back(sub_field("Addresses", addresses));
    }
    return rows;
}

}  // namespace nadrel

// Parsing /proc/swaps, uevent files and udev database records.
#include "core/storage/block_text.h"

#include "core/storage/mounts.h"
#include "core/text/fields.h"
#include "core/text/numbers.h"

namespace nadrel {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string value_of(std::string_view record, std::string_view key) {
    return std::string(assignment_value(record, key).value_or(""));
}

}  // namespace

std::string_view emmc_area_parent(std::string_view name) {
    if (!name.starts_with("mmcblk"))
        return {};
    std::size_t end = 6;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9')
        ++end;
    const std::string_view rest = name.substr(end);
    const std::string_view boot_number = rest.starts_with("boot") ? rest.substr(4) : "";
    const bool boot = !boot_number.empty() &&
                      boot_number.find_first_not_of("0123456789") == std::string_view::npos;
    if (end == 6 || !(boot || rest == "rpmb"))
        return {};
    return name.substr(0, end);
}

std::vector<SwapArea> parse_swaps(std::string_view text, std::size_t limit) {
    std::vector<SwapArea> areas;
    for_each_line(text, [&](std::string_view line) {
        const auto fields = split_fields(line);
        if (fields.size() < 4)
            return false;
        const auto size = parse_u64(fields[2]);
        const auto used = parse_u64(fields[3]);
        if (!size || !used || (fields[1] != "partition" && fields[1] != "file"))
            return false;
        if (areas.size() >= limit)
            return true;
        SwapArea area;
        area.device = unescape_octal(fields[0]);
        area.kind = area.device.starts_with("/dev/zram") ? "zram" : std::string(fields[1]);
        area.size = saturating_mul(*size, 1024);
        area.used = saturating_mul(*used, 1024);
        areas.push_back(std::move(area));
        return false;
    });
    return areas;
}

std::optional<std::string_view> assignment_value(std::string_view text, std::string_view key) {
    std::optional<std::string_view> found;
    for_each_line(text, [&](std::string_view line) {
        if (line.size() > key.size() && line[key.size()] == '=' && line.starts_with(key)) {
            found = line.substr(key.size() + 1);
            return true;
        }
        return false;
    });
    return found;
}

std::string unescape_hex(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 3 < value.size() && value[i + 1] == 'x') {
            const int high = hex_digit(value[i + 2]);
            const int low = hex_digit(value[i + 3]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 3;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

UdevBlock parse_udev_block(std::string_view record) {
    UdevBlock b;
    b.filesystem = value_of(record, "E:ID_FS_TYPE");
    if (const auto encoded = assignment_value(record, "E:ID_FS_LABEL_ENC"))
        b.label = unescape_hex(*encoded);
    else
        b.label = value_of(record, "E:ID_FS_LABEL");
    b.uuid = value_of(record, "E:ID_FS_UUID");
    b.partition_table = value_of(record, "E:ID_PART_TABLE_TYPE");
    b.part_name = unescape_hex(value_of(record, "E:ID_PART_ENTRY_NAME"));
    b.part_uuid = value_of(record, "E:ID_PART_ENTRY_UUID");
    b.part_type = value_of(record, "E:ID_PART_ENTRY_TYPE");
    return b;
}

}  // namespace nadrel

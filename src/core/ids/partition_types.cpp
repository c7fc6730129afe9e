// The common GPT and MBR partition types by name.
#include "core/ids/partition_types.h"

#include <array>
#include <string>
#include <utility>

#include "core/text/fmt.h"
#include "core/text/numbers.h"

namespace nadrel {

namespace {

using Entry = std::pair<std::string_view, std::string_view>;

constexpr std::array<Entry, 34> types = {{
    {"c12a7328-f81f-11d2-ba4b-00a0c93ec93b", "EFI System"},
    {"21686148-6449-6e6f-744e-656564454649", "BIOS boot"},
    {"0fc63daf-8483-4772-8e79-3d69d8477de4", "Linux filesystem"},
    {"0657fd6d-a4ab-43c4-84e5-0933c84b4f4f", "Linux swap"},
    {"e6d6d379-f507-44c2-a23c-238f2a3df928", "Linux LVM"},
    {"a19d880f-05fc-4d3b-a006-743f0f84911e", "Linux RAID"},
    {"ca7d7ccb-63ed-4c53-861c-1742536059cc", "Linux LUKS"},
    {"933ac7e1-2eb4-4f13-b844-0e14e2aef915", "Linux home"},
    {"3b8f8425-20e0-4f3b-907f-1a25a76f98e8", "Linux server data"},
    {"bc13c2ff-59e6-4262-a352-b275fd6f7172", "Linux extended boot"},
    {"4f68bce3-e8cd-4db1-96e7-fbcaf984b709", "Linux root (x86-64)"},
    {"44479540-f297-41b2-9af7-d131d5f0458a", "Linux root (x86)"},
    {"b921b045-1df0-41c3-af44-4c6f280d3fae", "Linux root (ARM-64)"},
    {"69dad710-2ce4-4e3c-b16c-21a1d49abed3", "Linux root (ARM)"},
    {"8da63339-0007-60c0-c436-083ac8230908", "Linux reserved"},
    {"ebd0a0a2-b9e5-4433-87c0-68b6b72699c7", "Microsoft basic data"},
    {"e3c9e316-0b5c-4db8-817d-f92df00215ae", "Microsoft reserved"},
    {"de94bba4-06d1-4d40-a16a-bfd50179d6ac", "Windows recovery environment"},
    {"48465300-0000-11aa-aa11-00306543ecac", "Apple HFS/HFS+"},
    {"7c3457ef-0000-11aa-aa11-00306543ecac", "Apple APFS"},
    {"6a898cc3-1dd2-11b2-99a6-080020736631", "Solaris /usr & Apple ZFS"},
    {"516e7cba-6ecf-11d6-8ff8-00022d09712b", "FreeBSD ZFS"},
    {"0x05", "Extended"},
    {"0x06", "FAT16"},
    {"0x07", "HPFS/NTFS/exFAT"},
    {"0x0b", "W95 FAT32"},
    {"0x0c", "W95 FAT32 (LBA)"},
    {"0x0e", "W95 FAT16 (LBA)"},
    {"0x0f", "W95 Ext'd (LBA)"},
    {"0x82", "Linux swap / Solaris"},
    {"0x83", "Linux"},
    {"0x8e", "Linux LVM"},
    {"0xef", "EFI (FAT-12/16/32)"},
    {"0xfd", "Linux raid autodetect"},
}};

}  // namespace

std::string_view partition_type_name(std::string_view type) {
    // An MBR type as libblkid writes it: "0x83", "0x7" (no padding).
    if (type.starts_with("0x") || type.starts_with("0X")) {
        const auto code = parse_hex32(type);
        if (!code || *code > 0xFF)
            return {};
        const std::string padded = strfmt("0x%02x", *code);
        for (const auto& [known, name] : types) {
            if (known == padded)
                return name;
        }
        return {};
    }
    std::string lower(type);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'F')
            c = static_cast<char>(c - 'A' + 'a');
    }
    for (const auto& [code, name] : types) {
        if (code == lower)
            return name;
    }
    return {};
}

}  // namespace nadrel

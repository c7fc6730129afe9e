// Sanitizing: what identifies the machine or its owner is replaced before anything is shown.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/snapshot.h"

namespace nadrel {

// What the text outputs show in place of a hidden value.
inline constexpr std::string_view hidden_text = "<hidden>";

// The kinds of value hidden, in the order the summary names them.
enum class HiddenKind : std::uint8_t {
    HostName,
    Serial,
    Uuid,
    MachineId,
    AssetTag,
    Mac,            // MAC addresses, and hardware addresses found inside other values
    InterfaceName,  // names built from a MAC ("enx00e04c680001")
    IpAddress,      // IP addresses found inside other values
    HoldsHostName,  // other values with the host name inside
    Label,          // file system labels and GPT partition names
    UserName,       // the user's folder name in mount points and swap files ("/home/NAME")
    BackingFile,    // the files loop devices map
};
inline constexpr std::size_t hidden_kinds = 12;

// How many values were hidden, by kind: each value that was not empty and was replaced, whole
// or in part, counts once.
struct HiddenCounts {
    std::array<std::uint32_t, hidden_kinds> by_kind{};

    std::uint32_t total() const;
    std::uint32_t& operator[](HiddenKind kind) { return by_kind[static_cast<std::size_t>(kind)]; }
    std::uint32_t operator[](HiddenKind kind) const {
        return by_kind[static_cast<std::size_t>(kind)];
    }
};

struct SanitizedSnapshot {
    SystemSnapshot snapshot;
    HiddenCounts hidden;
};

// The snapshot with the host name, every serial, UUID, asset tag, MAC address and the machine
// id replaced by hidden_text (empty values, and the collector's "Unknown" host name, stay:
// unknown is not hidden); names built from a MAC keep their prefix ("enx<hidden>"); and in
// every text that comes from the machine, each hardware or IP address, each copy of an
// adapter's MAC and the host name as a word are replaced too. In storage: file system labels
// and UUIDs, partition and device-mapper UUIDs and loop backing files whole, and in mount
// points and swap files the user's folder name ("/home/<hidden>/...", "/media/<hidden>/...")
// and any folder named after a label or UUID.
SanitizedSnapshot sanitize_snapshot(SystemSnapshot snapshot);

// What was hidden, for the user to check before sharing: "hid 14 values: host name,
// 6 serials, UUID, 3 MACs" (a kind hidden once is named without a number), or "hid no
// values".
std::string hidden_summary(const HiddenCounts& counts);

// The name with the MAC address it embeds replaced by hidden_text: every copy of the digits of
// mac (mac_digits) when it is given, and the twelve digits that end a name the naming scheme
// built from an address, given or not (a changed address leaves the name of the permanent one):
// "enx00e04c680001" and "wlx..." become "enx<hidden>" and "wlx<hidden>". Other names come back
// as they are.
std::string hide_embedded_mac(std::string_view name, std::string_view mac = {});

}  // namespace nadrel

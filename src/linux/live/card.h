// The live readout card's content: the rows that do not change while it is open, and the rows
// built from each sample.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "linux/live/sampler.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// A heading (is_heading, text in label) or an item; an item with an empty label is a note.
struct LiveRow {
    bool is_heading = false;
    std::string label;
    std::string value;
};

using LabelValue = std::pair<std::string, std::string>;

struct LiveStatic {
    std::vector<LabelValue> rows;
    std::vector<std::string> notes;
};

// The live readout card, present in the view while it is shown.
struct LiveCard {
    std::vector<LabelValue> static_rows;
    std::vector<std::string> notes;
    LiveCounters counters;
    std::vector<LiveRow> rows;
    Instant sampled_at{};
};

// The machine's local IPv4 and IPv6 addresses as the routing table would pick them.
struct LocalAddresses {
    std::optional<std::string> ipv4;
    std::optional<std::string> ipv6;
};
using AddressProbe = std::function<LocalAddresses()>;

// Connects datagram sockets towards documentation addresses (sending nothing) and reads the
// local ends.
LocalAddresses probe_local_addresses();

// Serials, MAC addresses, local addresses, gateway and disk serials, with the two notes.
LiveStatic read_live_static(const SysRoot& root, const AddressProbe& probe = probe_local_addresses);

// The default gateway in /proc/net/route text ("0101A8C0" gives 192.168.1.1).
std::optional<std::string> default_gateway(std::string_view route_table);

// The card's rows for a sample: "RIGHT NOW", "THIS MACHINE", "NOT AVAILABLE HERE".
std::vector<LiveRow> format_live_rows(const LiveSample& sample,
                                      const std::vector<LabelValue>& static_rows,
                                      const std::vector<std::string>& notes);

// Number formats of the card: 2456 MHz gives "2.46 GHz"; sizes in MB/GB/TB with one decimal.
std::string format_clock(std::uint32_t mhz);
std::string format_live_size(std::uint64_t bytes);
std::string format_rate(std::uint64_t bytes_per_s);

// Opens the card: static rows, a first sample at now and its rows. Every static row identifies
// the machine, so with sanitize each keeps its label and shows "<hidden>".
LiveCard make_live_card(const SysRoot& root, Instant now,
                        const AddressProbe& probe = probe_local_addresses, bool sanitize = false);
// Samples again at now and rebuilds the rows.
void refresh_live_card(LiveCard& card, const SysRoot& root, Instant now);

}  // namespace nadrel

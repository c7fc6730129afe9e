// The live readout card's content read from the machine: the rows that do not change while it
// is open, and a fresh sample each time it is refreshed.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/live/rows.h"
#include "linux/live/sampler.h"
#include "linux/root/sysroot.h"

namespace nadrel {

struct LiveStatic {
    std::vector<LabelValue> rows;
    std::vector<std::string> notes;
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

// Serials, MAC addresses, local addresses (none without a probe), gateway and disk serials,
// with the two notes.
LiveStatic read_live_static(const SysRoot& root, const AddressProbe& probe = probe_local_addresses);

// An open card: what does not change, and the counters of the last sample.
struct LiveSession {
    std::vector<LabelValue> static_rows;
    std::vector<std::string> notes;
    std::optional<LiveCounters> counters;  // absent before the first sample
    bool sanitize = false;                 // interface names that hold a MAC are hidden too
};

// The session of a card that opens now. Every static row identifies the machine, so with
// sanitize each keeps its label and shows "<hidden>"; an interface named after its MAC address
// ("enx001122334455") is shown as "enx<hidden>" in every row.
LiveSession open_live_session(const SysRoot& root, const AddressProbe& probe, bool sanitize);
// Samples at now, with rates against the session's last sample, and gives the card's rows.
std::vector<LiveRow> sample_live_rows(LiveSession& session, const SysRoot& root, Instant now);

}  // namespace nadrel

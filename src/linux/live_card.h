// The live readout card's content: the rows that do not change while it is open, and the rows
// built from each sample.
#pragma once

#include <string>
#include <vector>

#include "core/sysroot.h"
#include "linux/live.h"

namespace nadrel {

// A heading (label only, is_heading set) or an item; an item with an empty label is a note.
struct LiveRow {
    bool is_heading = false;
    std::string label;
    std::string value;
};

struct LiveStatic {
    std::vector<std::pair<std::string, std::string>> rows;  // (label, value)
    std::vector<std::string> notes;
};

// The live readout card, present in the view while it is shown.
struct LiveCard {
    std::vector<std::pair<std::string, std::string>> static_rows;
    std::vector<std::string> notes;
    LiveCounters counters;
    std::vector<LiveRow> rows;
    Instant sampled_at{};
};

// Serials, MAC addresses, local addresses, gateway and disk serials, with the two notes.
LiveStatic read_live_static(const SysRoot& root);

// The card's rows for a sample: "RIGHT NOW", "THIS MACHINE", "NOT AVAILABLE HERE".
std::vector<LiveRow> format_live_rows(
    const LiveSample& sample, const std::vector<std::pair<std::string, std::string>>& static_rows,
    const std::vector<std::string>& notes);

// Number formats of the card: 2456 MHz gives "2.46 GHz"; sizes in MB/GB/TB with one decimal.
std::string format_clock(std::uint32_t mhz);
std::string format_live_size(std::uint64_t bytes);
std::string format_rate(std::uint64_t bytes_per_s);

// Opens the card: static rows, a first sample at now and its rows.
LiveCard make_live_card(const SysRoot& root, Instant now);
// Samples again at now and rebuilds the rows.
void refresh_live_card(LiveCard& card, const SysRoot& root, Instant now);

}  // namespace nadrel

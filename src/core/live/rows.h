// The live readout card's rows: a sample and the rows that do not change, as headings, labelled
// values and notes, with the card's number formats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/live/sample.h"

namespace nadrel {

// A heading (is_heading, text in label) or an item; an item with an empty label is a note.
struct LiveRow {
    bool is_heading = false;
    std::string label;
    std::string value;
};

using LabelValue = std::pair<std::string, std::string>;

// What a value reads before the second sample gives a rate, and the widest rate it stands for
// (the card measures its value column with it, so it does not jump when rates arrive).
inline constexpr std::string_view live_reading = "Reading\u2026";
inline constexpr std::string_view widest_live_rate = "1023.9KB/s down  /  1023.9KB/s up";

// The card's rows for a sample: "RIGHT NOW", "THIS MACHINE", "NOT AVAILABLE HERE".
std::vector<LiveRow> format_live_rows(const LiveSample& sample,
                                      const std::vector<LabelValue>& static_rows,
                                      const std::vector<std::string>& notes);

// 2456 MHz gives "2.46 GHz", 999 MHz "999 MHz".
std::string format_clock(std::uint32_t mhz);
// A size per second: KB/s below 1 MB/s ("0.5KB/s", "512KB/s"), else as the report writes
// sizes ("1.2MB/s").
std::string format_rate(std::uint64_t bytes_per_s);

}  // namespace nadrel

// The live readout card's content (placeholder until the rows land).
#include "linux/live_card.h"

namespace nadrel {

LiveStatic read_live_static(const SysRoot&) {
    return {};
}

std::vector<LiveRow> format_live_rows(const LiveSample&,
                                      const std::vector<std::pair<std::string, std::string>>&,
                                      const std::vector<std::string>&) {
    return {};
}

std::string format_clock(std::uint32_t) {
    return {};
}
std::string format_live_size(std::uint64_t) {
    return {};
}
std::string format_rate(std::uint64_t) {
    return {};
}

LiveCard make_live_card(const SysRoot& root, Instant now) {
    LiveCard card;
    refresh_live_card(card, root, now);
    return card;
}

void refresh_live_card(LiveCard& card, const SysRoot& root, Instant now) {
    SampleResult result = sample(root, std::nullopt, now);
    card.counters = std::move(result.counters);
    card.sampled_at = now;
}

}  // namespace nadrel

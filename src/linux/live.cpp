// The live sampler (placeholder until the readers land).
#include "linux/live.h"

namespace nadrel {

SampleResult sample(const SysRoot&, const std::optional<LiveCounters>& previous, Instant now) {
    SampleResult result;
    result.sample.first = !previous.has_value();
    result.counters.taken_at = now;
    return result;
}

std::vector<std::string> physical_interfaces(const SysRoot&) {
    return {};
}

}  // namespace nadrel

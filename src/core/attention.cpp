#include "core/attention.h"

namespace nadrel {

std::vector<AttentionItem> find_attention(const SystemSnapshot& /*s*/) {
    // Each area adds its finder here, in the order the header gives.
    return {};
}

}  // namespace nadrel

#include "core/attention.h"

#include <iterator>

#include "core/storage/findings.h"

namespace nadrel {

namespace {

void add(std::vector<AttentionItem>& items, std::vector<AttentionItem> more) {
    items.insert(items.end(), std::make_move_iterator(more.begin()),
                 std::make_move_iterator(more.end()));
}

}  // namespace

std::vector<AttentionItem> find_attention(const SystemSnapshot& s) {
    // Each area adds its finder here, in the order the header gives.
    std::vector<AttentionItem> items;
    add(items, degraded_arrays(s));
    add(items, nearly_full_filesystems(s));
    return items;
}

}  // namespace nadrel

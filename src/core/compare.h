// What changed between two saved reports: devices matched by what identifies them, never by
// their place in a list, and values compared key by key on the documents themselves, so that
// keys of a newer version are compared too.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nadrel {

struct CompareOptions {
    bool detail = false;    // values that change all the time too (clocks, temperatures, ...)
    bool json = false;      // the JSON document instead of text lines
    bool sanitize = false;  // both documents sanitized first
};

struct Comparison {
    // One line per change, grouped by section ("BIOS: 1.20 → 1.40"), or the JSON document
    // {old, new, changes}; empty text when nothing changed.
    std::string output;
    std::size_t changes = 0;
    std::string failure;  // set only when a document is no report (load_snapshot_json says why)
};

// Two documents as --json writes them. When only one of them is sanitized (or sanitize is set),
// the other is sanitized too first, so that what one hides is no change.
Comparison compare_reports(std::string_view old_text, std::string_view new_text,
                           const CompareOptions& options);

}  // namespace nadrel

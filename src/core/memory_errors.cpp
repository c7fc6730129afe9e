// EDAC error counts joined to the SMBIOS modules their labels name.
#include "core/memory_errors.h"

#include <string>

#include "core/text/fields.h"

namespace nadrel {

namespace {

std::string letters_and_digits(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c >= 'A' && c <= 'Z')
            out += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            out += c;
    }
    return out;
}

bool names_by_bank(const std::string& label, const MemoryModule& m) {
    return !m.bank_locator.empty() && label == letters_and_digits(m.bank_locator + m.locator);
}

bool names_by_locator(const std::string& label, const MemoryModule& m) {
    return label == letters_and_digits(m.locator);
}

// The one module the label names, by bank and locator first (locators repeat per channel).
MemoryModule* named_module(std::vector<MemoryModule>& modules, std::string_view label) {
    const std::string key = letters_and_digits(label);
    if (key.empty())
        return nullptr;
    for (const auto rule : {names_by_bank, names_by_locator}) {
        MemoryModule* found = nullptr;
        std::size_t matches = 0;
        for (MemoryModule& m : modules) {
            if (rule(key, m)) {
                found = &m;
                ++matches;
            }
        }
        if (matches == 1)
            return found;
        if (matches > 1)
            return nullptr;
    }
    return nullptr;
}

void add_to(std::optional<std::uint64_t>& total, std::uint64_t count) {
    total = saturating_add(total.value_or(0), count);
}

}  // namespace

bool edac_label_names(std::string_view label, const MemoryModule& module) {
    const std::string key = letters_and_digits(label);
    return !key.empty() && (names_by_bank(key, module) || names_by_locator(key, module));
}

void attach_memory_errors(SystemSnapshot& s, const std::vector<MemoryErrorCount>& counts) {
    for (const MemoryErrorCount& count : counts) {
        if (MemoryModule* m = named_module(s.memory_modules, count.label)) {
            add_to(m->corrected_errors, count.corrected);
            add_to(m->uncorrected_errors, count.uncorrected);
        } else {
            s.memory_edac.push_back(count);
        }
    }
}

}  // namespace nadrel

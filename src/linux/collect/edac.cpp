// EDAC error counts from /sys/devices/system/edac/mc, per DIMM where the kernel knows them.
#include "linux/collect/edac.h"

#include <algorithm>
#include <string>
#include <utility>

#include "core/text/fields.h"
#include "core/text/numbers.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr std::string_view mc_dir = "/sys/devices/system/edac/mc";
// A large server has a few dozen DIMMs on a few controllers; a tree claiming more is cut
// before its files are read.
constexpr std::size_t max_controllers = 64;
constexpr std::size_t max_entries = 512;
constexpr std::size_t max_channels = 16;

std::uint64_t count_of(const std::optional<std::string>& text) {
    return text ? parse_u64(*text).value_or(0) : 0;
}

std::string label_of(const std::optional<std::string>& text) {
    return text ? std::string(trim(*text)) : std::string();
}

// The entries named prefix and a number, in number order (dimm2 before dimm10), at most
// max_entries of them.
std::vector<std::string> numbered(const std::vector<std::string>& entries,
                                  std::string_view prefix) {
    std::vector<std::pair<std::uint64_t, std::string>> found;
    for (const std::string& entry : entries) {
        if (is_numbered_name(entry, prefix))
            found.emplace_back(parse_u64(entry.substr(prefix.size())).value_or(0), entry);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> names;
    for (auto& [number, name] : found) {
        if (names.size() >= max_entries)
            break;
        names.push_back(std::move(name));
    }
    return names;
}

bool add_dimms(const SysRoot& root, const std::string& dir, const std::string& controller,
               const std::vector<std::string>& entries, std::vector<MemoryErrorCount>& out) {
    bool any = false;
    std::vector<std::string> dimms = numbered(entries, "dimm");
    if (dimms.empty())
        dimms = numbered(entries, "rank");  // the name older kernels gave them
    for (const std::string& entry : dimms) {
        if (out.size() >= max_entries)
            return true;
        const auto texts = read_texts_in(root, dir + "/" + entry,
                                         {"dimm_label", "dimm_ce_count", "dimm_ue_count"});
        if (!texts[1] && !texts[2])
            continue;
        out.push_back({controller, label_of(texts[0]), count_of(texts[1]), count_of(texts[2])});
        any = true;
    }
    return any;
}

bool add_rows(const SysRoot& root, const std::string& dir, const std::string& controller,
              const std::vector<std::string>& entries, std::vector<MemoryErrorCount>& out) {
    bool any = false;
    for (const std::string& entry : numbered(entries, "csrow")) {
        const std::string row = dir + "/" + entry;
        const std::vector<std::string> files = list_dir(root, row);
        std::vector<std::string> names = {"ue_count"};
        for (std::size_t ch = 0; ch < max_channels; ++ch) {
            names.push_back("ch" + std::to_string(ch) + "_ce_count");
            names.push_back("ch" + std::to_string(ch) + "_dimm_label");
        }
        // Only the files there are read (a row has one to three channels of sixteen).
        for (std::string& name : names) {
            if (std::find(files.begin(), files.end(), name) == files.end())
                name.clear();
        }
        std::vector<std::string> present = names;
        std::erase(present, std::string());
        const auto read = read_texts_in(root, row, present);
        std::vector<std::optional<std::string>> texts;
        for (std::size_t i = 0, k = 0; i < names.size(); ++i)
            texts.push_back(names[i].empty() ? std::nullopt : read[k++]);
        std::uint64_t ue = count_of(texts[0]);
        for (std::size_t ch = 0; ch < max_channels; ++ch) {
            const auto& ce = texts[1 + 2 * ch];
            if (!ce)
                continue;
            if (out.size() >= max_entries)
                return true;
            std::string label = label_of(texts[2 + 2 * ch]);
            if (label.empty())
                label = entry + " ch" + std::to_string(ch);
            out.push_back({controller, std::move(label), count_of(ce), ue});
            ue = 0;
            any = true;
        }
    }
    return any;
}

}  // namespace

std::vector<MemoryErrorCount> collect_edac(const SysRoot& root) {
    std::vector<MemoryErrorCount> out;
    std::vector<std::string> controllers = numbered(list_dir(root, mc_dir), "mc");
    if (controllers.size() > max_controllers)
        controllers.resize(max_controllers);
    for (const std::string& controller : controllers) {
        if (out.size() >= max_entries)
            break;
        const std::string dir = std::string(mc_dir) + "/" + controller;
        const std::vector<std::string> entries = list_dir(root, dir);
        if (add_dimms(root, dir, controller, entries, out) ||
            add_rows(root, dir, controller, entries, out))
            continue;
        const auto totals = read_texts_in(root, dir, {"ce_count", "ue_count"});
        if (totals[0] || totals[1])
            out.push_back({controller, "", count_of(totals[0]), count_of(totals[1])});
    }
    return out;
}

}  // namespace nadrel

// pci.ids and usb.ids lookup: a walk over the lines of the database text, either whole (one
// lookup) or from the blocks an index gives (a whole inventory's lookups).
#include "core/ids/pci_ids.h"

#include <algorithm>
#include <cstring>

#include "core/text/unicode.h"

namespace nadrel {

namespace {

char lower_ascii(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

template <std::size_t N>
bool id_prefix(std::string_view line, const char (&id)[N]) {
    constexpr std::size_t digits = N - 1;
    if (line.size() < digits)
        return false;
    for (std::size_t i = 0; i < digits; ++i) {
        if (lower_ascii(line[i]) != id[i])
            return false;
    }
    return true;
}

// Whether s holds at least n characters (n > 0), without counting the rest of a long line.
bool has_chars(std::string_view s, std::size_t n) {
    return char_offset(s, n - 1) < s.size();
}

// The first four characters of line are the identifier id (ASCII case-insensitive) and the
// line holds at least six characters.
bool has_id(std::string_view line, const char (&id)[5]) {
    return line.size() >= 6 && id_prefix(line, id) && has_chars(line, 6);
}

bool only_white_space(std::string_view line) {
    for (const char ch : line) {
        if (ch != ' ' && ch != '\t' && ch != '\v' && ch != '\f' && ch != '\r')
            return false;
    }
    return true;
}

template <std::size_t N>
void hex_text(std::uint32_t value, char (&out)[N]) {
    constexpr char digits[] = "0123456789abcdef";
    for (std::size_t i = N - 1; i-- > 0;) {
        out[i] = digits[value & 0xF];
        value >>= 4;
    }
    out[N - 1] = '\0';
}

int hex_digit(char ch) {
    ch = lower_ascii(ch);
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

std::optional<std::uint32_t> parse_hex_digits(std::string_view text) {
    std::uint32_t value = 0;
    for (const char ch : text) {
        const int digit = hex_digit(ch);
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

// One line at pos (without its line feed and a carriage return before it); pos moves past it.
std::string_view next_line(std::string_view db, std::size_t& pos) {
    const void* nl = std::memchr(db.data() + pos, '\n', db.size() - pos);
    const std::size_t end =
        nl == nullptr ? db.size()
                      : static_cast<std::size_t>(static_cast<const char*>(nl) - db.data());
    std::string_view line = db.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool skipped(std::string_view line) {
    return line.empty() || line.front() == '#' || only_white_space(line);
}

// A vendor or class line: it starts a block.
bool starts_block(std::string_view line) {
    return line.front() != '\t' && line.front() != ' ';
}

// A one-tab line (not a two-tab one) whose first digits are id: its name, trimmed.
template <std::size_t N>
std::optional<std::string_view> entry_name(std::string_view line, const char (&id)[N]) {
    if (line.front() != '\t' || (line.size() > 1 && line[1] == '\t'))
        return std::nullopt;
    // Most entry lines are other entries: compare before trimming the whole line.
    const std::string_view start = trim_start(line);
    if (!id_prefix(start, id))
        return std::nullopt;
    const std::string_view text = trim_end(start);
    if (text.size() < N + 1 || !has_chars(text, N + 1))
        return std::nullopt;
    return trim(text.substr(N - 1));
}

// The next line of the block that pos is inside (comments and blank lines passed), or nothing
// at the block's end.
std::optional<std::string_view> next_in_block(std::string_view db, std::size_t& pos) {
    while (pos < db.size()) {
        const std::string_view line = next_line(db, pos);
        if (skipped(line))
            continue;
        if (starts_block(line))
            return std::nullopt;
        return line;
    }
    return std::nullopt;
}

// The device name in the block of vendor lines that starts at pos.
std::optional<std::string> device_in_block(std::string_view db, std::size_t pos,
                                           const char (&device)[5]) {
    while (const auto line = next_in_block(db, pos)) {
        if (const auto name = entry_name(*line, device))
            return utf8_lossy(*name);  // the database is UTF-8, but nothing broken may pass
    }
    return std::nullopt;
}

std::optional<std::uint8_t> class_line_id(std::string_view line) {
    if (line.size() < 6 || line[0] != 'C' || line[1] != ' ')
        return std::nullopt;
    const auto id = parse_hex_digits(line.substr(2, 2));
    if (!id || trim(line.substr(4)).empty())
        return std::nullopt;
    return static_cast<std::uint8_t>(*id);
}

std::optional<std::uint16_t> vendor_line_id(std::string_view line) {
    if (line.size() < 6 || !has_chars(line, 6))
        return std::nullopt;
    const auto id = parse_hex_digits(line.substr(0, 4));
    if (!id)
        return std::nullopt;
    return static_cast<std::uint16_t>(*id);
}

template <typename Id>
auto blocks_of(const std::vector<std::pair<Id, std::uint32_t>>& blocks, Id id) {
    return std::equal_range(blocks.begin(), blocks.end(), std::pair<Id, std::uint32_t>{id, 0},
                            [](const auto& a, const auto& b) { return a.first < b.first; });
}

}  // namespace

IdIndex index_ids(std::string_view db) {
    IdIndex index;
    if (db.size() > UINT32_MAX)
        return index;
    std::size_t pos = 0;
    while (pos < db.size()) {
        const std::size_t start = pos;
        // Nine lines in ten are entries under a block: pass them on their first character.
        const char first = db[pos];
        if (first == '\t' || first == ' ' || first == '#' || first == '\n') {
            const void* nl = std::memchr(db.data() + pos, '\n', db.size() - pos);
            pos = nl == nullptr
                      ? db.size()
                      : static_cast<std::size_t>(static_cast<const char*>(nl) - db.data()) + 1;
            continue;
        }
        const std::string_view line = next_line(db, pos);
        if (skipped(line) || !starts_block(line))
            continue;
        if (index.vendors.size() + index.classes.size() >= max_indexed_blocks)
            return IdIndex{};
        const auto offset = static_cast<std::uint32_t>(start);
        if (const auto id = vendor_line_id(line)) {
            index.vendors.emplace_back(*id, offset);
        } else if (const auto cls = class_line_id(line)) {
            index.classes.emplace_back(*cls, offset);
        }
    }
    // Stable: the blocks of one identifier stay in text order, the first one naming it.
    const auto by_id = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::stable_sort(index.vendors.begin(), index.vendors.end(), by_id);
    std::stable_sort(index.classes.begin(), index.classes.end(), by_id);
    index.complete = true;
    return index;
}

std::optional<IdNames> id_lookup(std::string_view db, std::uint16_t vendor_id,
                                 std::uint16_t device_id) {
    char vendor[5];
    char device[5];
    hex_text(vendor_id, vendor);
    hex_text(device_id, device);
    std::optional<IdNames> found;
    bool inside = false;
    std::size_t pos = 0;
    while (pos < db.size()) {
        const std::string_view line = next_line(db, pos);
        if (skipped(line))
            continue;
        if (starts_block(line)) {
            inside = has_id(line, vendor);
            if (inside && !found)
                found = IdNames{utf8_lossy(trim(line.substr(4))), std::nullopt};
            continue;
        }
        if (!inside)
            continue;
        if (const auto name = entry_name(line, device)) {
            found->device = utf8_lossy(*name);
            return found;
        }
    }
    return found;
}

std::optional<IdNames> id_lookup(std::string_view db, const IdIndex& index, std::uint16_t vendor_id,
                                 std::uint16_t device_id) {
    if (!index.complete)
        return id_lookup(db, vendor_id, device_id);
    char device[5];
    hex_text(device_id, device);
    const auto [first, last] = blocks_of(index.vendors, vendor_id);
    if (first == last)
        return std::nullopt;
    std::size_t pos = first->second;
    IdNames found{utf8_lossy(trim(next_line(db, pos).substr(4))), std::nullopt};
    for (auto block = first; block != last; ++block) {
        pos = block->second;
        next_line(db, pos);
        if ((found.device = device_in_block(db, pos, device)))
            break;
    }
    return found;
}

std::optional<std::string> pci_lookup(std::string_view db, std::uint16_t vendor_id,
                                      std::uint16_t device_id) {
    auto names = id_lookup(db, vendor_id, device_id);
    return names ? std::move(names->device) : std::nullopt;
}

std::optional<std::string> subsystem_lookup(std::string_view db, const IdIndex& index,
                                            std::uint16_t vendor_id, std::uint16_t device_id,
                                            std::uint16_t subsystem_vendor_id,
                                            std::uint16_t subsystem_device_id) {
    if (!index.complete)
        return std::nullopt;
    char device[5];
    char sub_vendor[5];
    char sub_device[5];
    hex_text(device_id, device);
    hex_text(subsystem_vendor_id, sub_vendor);
    hex_text(subsystem_device_id, sub_device);
    char subsystem[10];  // "ssss dddd"
    std::memcpy(subsystem, sub_vendor, 4);
    subsystem[4] = ' ';
    std::memcpy(subsystem + 5, sub_device, 5);
    const auto [first, last] = blocks_of(index.vendors, vendor_id);
    for (auto block = first; block != last; ++block) {
        std::size_t pos = block->second;
        next_line(db, pos);
        bool under_device = false;
        while (const auto entry = next_in_block(db, pos)) {
            const std::string_view line = *entry;
            if (line.front() != '\t')
                continue;
            if (line.size() < 2 || line[1] != '\t') {
                under_device = entry_name(line, device).has_value();
                continue;
            }
            if (!under_device)
                continue;
            const std::string_view start = trim_start(line);
            if (!id_prefix(start, subsystem))
                continue;
            const std::string_view name = trim(start.substr(9));
            if (!name.empty())
                return utf8_lossy(name);
        }
    }
    return std::nullopt;
}

std::optional<ClassNames> class_lookup(std::string_view db, const IdIndex& index,
                                       std::uint8_t class_id, std::uint8_t subclass_id) {
    if (!index.complete)
        return std::nullopt;
    const auto [first, last] = blocks_of(index.classes, class_id);
    if (first == last)
        return std::nullopt;
    char subclass[3];
    hex_text(subclass_id, subclass);
    std::size_t pos = first->second;
    ClassNames names{utf8_lossy(trim(next_line(db, pos).substr(4))), std::nullopt};
    while (const auto line = next_in_block(db, pos)) {
        if (const auto name = entry_name(*line, subclass)) {
            names.subclass = utf8_lossy(*name);
            break;
        }
    }
    return names;
}

}  // namespace nadrel

// pci.ids and usb.ids lookup: a linear walk over the lines of the database text. Lookups
// happen once per device, so no index is built.
#include "core/ids/pci_ids.h"

#include <cstring>

#include "core/text/unicode.h"

namespace nadrel {

namespace {

char lower_ascii(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool id_prefix(std::string_view line, const char (&id)[5]) {
    if (line.size() < 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (lower_ascii(line[i]) != id[i])
            return false;
    }
    return true;
}

// The first four characters of line are the identifier id (ASCII case-insensitive) and the
// line holds at least six characters.
bool has_id(std::string_view line, const char (&id)[5]) {
    return line.size() >= 6 && id_prefix(line, id) && char_count(line) >= 6;
}

bool only_white_space(std::string_view line) {
    for (const char ch : line) {
        if (ch != ' ' && ch != '\t' && ch != '\v' && ch != '\f' && ch != '\r')
            return false;
    }
    return true;
}

void hex4(std::uint16_t value, char (&out)[5]) {
    constexpr char digits[] = "0123456789abcdef";
    for (int i = 3; i >= 0; --i) {
        out[i] = digits[value & 0xF];
        value = static_cast<std::uint16_t>(value >> 4);
    }
    out[4] = '\0';
}

}  // namespace

std::optional<IdNames> id_lookup(std::string_view db, std::uint16_t vendor_id,
                                 std::uint16_t device_id) {
    char vendor[5];
    char device[5];
    hex4(vendor_id, vendor);
    hex4(device_id, device);
    std::optional<IdNames> found;
    bool inside = false;
    std::size_t pos = 0;
    while (pos < db.size()) {
        const void* nl = std::memchr(db.data() + pos, '\n', db.size() - pos);
        const std::size_t end =
            nl == nullptr ? db.size()
                          : static_cast<std::size_t>(static_cast<const char*>(nl) - db.data());
        std::string_view line = db.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#' || only_white_space(line))
            continue;
        if (line.front() != '\t' && line.front() != ' ') {
            inside = has_id(line, vendor);
            if (inside && !found)
                found = IdNames{utf8_lossy(trim(line.substr(4))), std::nullopt};
            continue;
        }
        if (!inside || line.front() != '\t' || (line.size() > 1 && line[1] == '\t'))
            continue;
        // Most device lines are other devices: compare before trimming the whole line.
        const std::string_view start = trim_start(line);
        if (!id_prefix(start, device))
            continue;
        const std::string_view text = trim_end(start);
        if (!has_id(text, device))
            continue;
        // The database is UTF-8; anything else must not reach the report as broken text.
        found->device = utf8_lossy(trim(text.substr(4)));
        return found;
    }
    return found;
}

std::optional<std::string> pci_lookup(std::string_view db, std::uint16_t vendor_id,
                                      std::uint16_t device_id) {
    auto names = id_lookup(db, vendor_id, device_id);
    return names ? std::move(names->device) : std::nullopt;
}

}  // namespace nadrel

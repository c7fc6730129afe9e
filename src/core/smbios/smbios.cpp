// SMBIOS table walk (DMTF DSP0134 section 6.1) and the process-wide structure list.
#include "core/smbios/smbios.h"

#include "core/text/unicode.h"

namespace nadrel {

namespace {

// Smallest structure header: type, length and a 16-bit handle.
constexpr std::size_t header_size = 4;
constexpr std::uint8_t end_of_table = 127;

struct Walked {
    DmiStructure structure;
    std::size_t extent = 0;  // bytes taken from the table, string set included
};

// One structure at the start of data, whose length byte has been checked against data.
Walked walk_structure(std::span<const std::uint8_t> data, std::size_t length) {
    Walked w;
    w.structure.type = data[0];
    w.structure.formatted.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));

    // The string set: NUL-terminated strings closed by an empty one; two NULs when there are
    // no strings at all.
    std::size_t pos = length;
    if (pos + 1 < data.size() && data[pos] == 0 && data[pos + 1] == 0) {
        w.extent = length + 2;
        return w;
    }
    std::size_t start = pos;
    for (; pos < data.size(); ++pos) {
        if (data[pos] != 0)
            continue;
        if (pos == start) {
            w.extent = pos + 1;
            return w;
        }
        const std::string_view raw(reinterpret_cast<const char*>(data.data() + start), pos - start);
        w.structure.strings.push_back(utf8_lossy(raw));
        start = pos + 1;
    }
    // The data ended inside the set: keep the complete strings and take everything left.
    w.extent = data.size();
    return w;
}

}  // namespace

std::vector<DmiStructure> parse_smbios_table(std::span<const std::uint8_t> table) {
    std::vector<DmiStructure> list;
    if (table.size() < header_size)
        return list;
    std::size_t offset = 0;
    while (table.size() - offset > header_size - 1) {
        const std::span<const std::uint8_t> rest = table.subspan(offset);
        const std::size_t length = rest[1];
        if (length < header_size || length > rest.size())
            break;
        Walked w = walk_structure(rest, length);
        const bool last = w.structure.type == end_of_table || w.extent > rest.size();
        list.push_back(std::move(w.structure));
        if (last)
            break;
        offset += w.extent;
    }
    return list;
}

}  // namespace nadrel

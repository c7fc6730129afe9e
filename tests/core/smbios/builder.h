// Builds SMBIOS structures and raw tables byte by byte for the SMBIOS tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/smbios/smbios.h"

namespace nadrel::test {

class StructureBuilder {
public:
    // A formatted area of the given length (header included), zero-filled.
    StructureBuilder(std::uint8_t type, std::size_t length) {
        s_.type = type;
        s_.formatted.assign(length, 0);
        if (length > 0)
            s_.formatted[0] = type;
        if (length > 1)
            s_.formatted[1] = static_cast<std::uint8_t>(length);
    }

    StructureBuilder& set(std::size_t offset, std::uint64_t value, std::size_t width = 1) {
        for (std::size_t i = 0; i < width && offset + i < s_.formatted.size(); ++i) {
            s_.formatted[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return *this;
    }
    StructureBuilder& word(std::size_t offset, std::uint64_t value) {
        return set(offset, value, 2);
    }
    StructureBuilder& dword(std::size_t offset, std::uint64_t value) {
        return set(offset, value, 4);
    }
    StructureBuilder& qword(std::size_t offset, std::uint64_t value) {
        return set(offset, value, 8);
    }
    StructureBuilder& strings(std::initializer_list<std::string> list) {
        s_.strings.assign(list);
        return *this;
    }

    const DmiStructure& get() const { return s_; }
    operator DmiStructure() const { return s_; }

    // The table bytes: the formatted area, then each string with its NUL and a closing NUL
    // (two NULs when there are no strings).
    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> out = s_.formatted;
        for (const std::string& str : s_.strings) {
            out.insert(out.end(), str.begin(), str.end());
            out.push_back(0);
        }
        if (s_.strings.empty())
            out.push_back(0);
        out.push_back(0);
        return out;
    }

private:
    DmiStructure s_;
};

// Concatenates byte blocks into one table.
inline std::vector<std::uint8_t> table(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The type 127 structure that closes a table.
inline std::vector<std::uint8_t> end_of_table_bytes() {
    return StructureBuilder(127, 4).bytes();
}

}  // namespace nadrel::test

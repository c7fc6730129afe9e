// UTF-8 decoding and the white-space rules shared by every parser.
#include "core/text/unicode.h"

namespace nadrel {

namespace {

constexpr char32_t replacement = 0xFFFD;

// Returns the length of a valid sequence starting at s[i], or 0 when invalid,
// in which case bad_len is the length of the maximal invalid subpart.
std::size_t valid_sequence(std::string_view s, std::size_t i, char32_t& c, std::size_t& bad_len) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    bad_len = 1;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    std::size_t need = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        c = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        c = b0 & 0x0Fu;
        if (b0 == 0xE0)
            lo = 0xA0;
        if (b0 == 0xED)
            hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        c = b0 & 0x07u;
        if (b0 == 0xF0)
            lo = 0x90;
        if (b0 == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k <= need; ++k) {
        if (i + k >= s.size())
            return 0;
        const auto b = static_cast<unsigned char>(s[i + k]);
        const unsigned char l = (k == 1) ? lo : 0x80;
        const unsigned char h = (k == 1) ? hi : 0xBF;
        if (b < l || b > h)
            return 0;
        c = (c << 6) | (b & 0x3Fu);
        bad_len = k + 1;
    }
    return need + 1;
}

}  // namespace

bool is_valid_utf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        char32_t c = 0;
        std::size_t bad = 0;
        const std::size_t n = valid_sequence(s, i, c, bad);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

char32_t next_char(std::string_view s, std::size_t& i) {
    char32_t c = 0;
    std::size_t bad = 0;
    const std::size_t n = valid_sequence(s, i, c, bad);
    if (n == 0) {
        i += bad;
        return replacement;
    }
    i += n;
    return c;
}

std::string utf8_lossy(std::string_view s) {
    if (is_valid_utf8(s))
        return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    std::size_t i = 0;
    while (i < s.size())
        append_utf8(out, next_char(s, i));
    return out;
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::size_t char_count(std::string_view s) {
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        next_char(s, i);
        ++n;
    }
    return n;
}

std::size_t char_offset(std::string_view s, std::size_t n) {
    std::size_t i = 0;
    while (n > 0 && i < s.size()) {
        next_char(s, i);
        --n;
    }
    return i;
}

std::string shorten(std::string_view s, std::size_t max) {
    const std::size_t keep = char_offset(s, max - 1);
    const std::string_view rest = s.substr(keep);
    if (char_offset(rest, 1) == rest.size())  // one character or none left: it fits
        return std::string(s);
    return std::string(s.substr(0, keep)) + "\u2026";
}

bool is_unicode_space(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

std::string_view trim_start(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t j = i;
        if (!is_unicode_space(next_char(s, j)))
            break;
        i = j;
    }
    return s.substr(i);
}

std::string_view trim_end(std::string_view s) {
    // Backwards, one character at a time (a value can be megabytes long): a byte other than a
    // continuation byte always starts a character, so decoding from the last such byte sees
    // what a walk from the front would.
    while (!s.empty()) {
        std::size_t start = s.size() - 1;
        while (start > 0 && s.size() - start < 4 &&
               (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80)
            --start;
        std::size_t i = start;
        const char32_t c = next_char(s, i);
        if (i != s.size() || !is_unicode_space(c))
            break;
        s.remove_suffix(s.size() - start);
    }
    return s;
}

std::string_view trim(std::string_view s) {
    return trim_end(trim_start(s));
}

std::string ascii_lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) {
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return out;
}

bool starts_with(std::string_view s, std::string_view prefix) {
    return s.starts_with(prefix);
}
bool ends_with(std::string_view s, std::string_view suffix) {
    return s.ends_with(suffix);
}
bool contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

}  // namespace nadrel

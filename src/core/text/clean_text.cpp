// Control characters out of device and file strings: removed for the report, escaped for the
// raw dump.
#include "core/text/clean_text.h"

#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

// Line breaks of every kind, the Unicode line and paragraph separators included.
bool is_space_control(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

// Unicode format characters (general category Cf, Unicode 15): invisible, and the bidi
// overrides and isolates among them reorder the rest of a line wherever a report is pasted.
bool is_format_character(char32_t c) {
    struct Range {
        char32_t first;
        char32_t last;
    };
    static constexpr Range format[] = {
        {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
        {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},
        {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x2064},   {0x2066, 0x206F},
        {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
        {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
        {0xE0020, 0xE007F},
    };
    if (c < 0xAD)
        return false;
    for (const Range& r : format) {
        if (c >= r.first && c <= r.last)
            return true;
    }
    return false;
}

bool is_control(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           is_format_character(c);
}

}  // namespace

std::string clean_text(std::string_view text) {
    bool plain = true;
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b >= 0x7F) {
            plain = false;
            break;
        }
    }
    if (plain)
        return std::string(text);  // the common case: printable ASCII
    std::string out;
    out.reserve(text.size());
    bool in_space_run = false;
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = next_char(text, i);
        if (is_space_control(c)) {
            if (!in_space_run)
                out += ' ';
            in_space_run = true;
            continue;
        }
        in_space_run = false;
        if (!is_control(c))
            append_utf8(out, c);
    }
    return out;
}

std::string escape_controls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto escape = [&out](std::string_view bytes) {
        for (const char b : bytes)
            out += strfmt("\\x%02x", unsigned{static_cast<unsigned char>(b)});
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const char32_t c = next_char(text, i);
        const std::string_view bytes = text.substr(start, i - start);
        // A lone byte decoded as U+FFFD was not UTF-8: shown as its value, never sent raw.
        const bool invalid = c == 0xFFFD && bytes.size() == 1;
        if (invalid || is_control(c))
            escape(bytes);
        else
            out += bytes;
    }
    return out;
}

}  // namespace nadrel

// Control characters out of device and file strings: removed for the report, escaped for the
// raw dump.
#include "core/text/clean_text.h"

#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel {

namespace {

bool is_space_control(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x85;
}

bool is_control(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
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

// Trademark-mark removal and white-space folding for hardware names.
#include "core/text/names.h"

namespace nadrel {

namespace {

void remove_all(std::string& s, std::string_view what) {
    std::size_t pos = 0;
    while ((pos = s.find(what, pos)) != std::string::npos)
        s.erase(pos, what.size());
}

bool is_space(char ch) {
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

}  // namespace

std::string collapse_spaces(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!is_space(text[i])) {
            out += text[i];
        } else if (i == 0 || !is_space(text[i - 1])) {
            out += ' ';
        }
    }
    return out;
}

std::string clean_name(std::string_view text) {
    std::string s(text);
    for (const std::string_view mark : {"(R)", "(r)", "(TM)", "(tm)", "(C)", "(c)"}) {
        remove_all(s, mark);
    }
    for (const std::string_view mark : {"\u00A9", "\u00AE", "\u2122"})
        remove_all(s, mark);
    return s;
}

}  // namespace nadrel

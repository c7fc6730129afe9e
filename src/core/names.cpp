// Trademark-mark removal for hardware names.
#include "core/names.h"

namespace nadrel {

namespace {

void remove_all(std::string& s, std::string_view what) {
    std::size_t pos = 0;
    while ((pos = s.find(what, pos)) != std::string::npos)
        s.erase(pos, what.size());
}

}  // namespace

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

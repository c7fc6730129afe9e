// Text safe for a terminal, a window or a file: no control characters from devices or files.
#pragma once

#include <string>
#include <string_view>

namespace nadrel {

// Removes C0 controls (U+0000 to U+001F), DEL and C1 controls (U+0080 to U+009F); each run of
// white-space controls (tab, line feed, vertical tab, form feed, carriage return, next line)
// becomes one space. Invalid UTF-8 becomes U+FFFD, so no stray byte can act as a C1 control.
// Spaces and every other character are kept as they are.
std::string clean_text(std::string_view text);

// The text with every control character (C0, DEL, C1) and every byte that is not UTF-8
// written as "\xHH" per byte, so that what firmware wrote is shown faithfully and safely.
std::string escape_controls(std::string_view text);

}  // namespace nadrel

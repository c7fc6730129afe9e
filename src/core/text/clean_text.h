// Text safe for a terminal, a window or a file: no control characters from devices or files.
#pragma once

#include <string>
#include <string_view>

namespace nadrel {

// Removes C0 controls (U+0000 to U+001F), DEL, C1 controls (U+0080 to U+009F) and the Unicode
// format characters (bidi overrides and isolates, zero-width characters, U+FEFF: category Cf);
// each run of line-breaking controls (tab, line feed, vertical tab, form feed, carriage
// return, next line, U+2028, U+2029) becomes one space. Invalid UTF-8 becomes U+FFFD, so no
// stray byte can act as a C1 control. Spaces and every other character are kept as they are.
std::string clean_text(std::string_view text);

// The text with every character clean_text removes (C0, DEL, C1, format characters, the line
// and paragraph separators) and every byte that is not UTF-8 written as "\xHH" per byte, so
// that what firmware wrote is shown faithfully and safely.
std::string escape_controls(std::string_view text);

}  // namespace nadrel

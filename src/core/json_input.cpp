// One pass over the bytes counts nesting and values outside strings before nlohmann parses;
// its exceptions end here, as text.
#include "core/json_input.h"

#include <exception>

#include "core/text/clean_text.h"
#include "core/text/fmt.h"
#include "core/text/unicode.h"

namespace nadrel::json {

namespace {

// Nesting depth and a count of values (every comma, array and object), outside strings. On
// text that is not JSON the numbers mean little, but the parser refuses such text anyway.
struct Shape {
    std::size_t depth = 0;
    std::size_t values = 0;
    std::size_t longest_number = 0;  // characters of the longest run that can be a number
};

bool in_number(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

Shape scan(std::string_view text) {
    Shape shape;
    std::size_t depth = 0;
    bool in_string = false;
    bool escaped = false;
    std::size_t number = 0;
    for (const char c : text) {
        number = !in_string && in_number(c) ? number + 1 : 0;
        if (number > shape.longest_number)
            shape.longest_number = number;
        if (in_string) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                in_string = false;
            continue;
        }
        switch (c) {
            case '"':
                in_string = true;
                break;
            case '[':
            case '{':
                ++shape.values;
                if (++depth > shape.depth)
                    shape.depth = depth;
                break;
            case ']':
            case '}':
                if (depth > 0)
                    --depth;
                break;
            case ',':
                ++shape.values;
                break;
            default:
                break;
        }
    }
    return shape;
}

// "[json.exception.parse_error.101] parse error at ..." without the bracketed prefix, and cut
// short: it quotes the input, which can be megabytes.
std::string parser_message(const char* what) {
    std::string_view text = what;
    if (text.starts_with('[')) {
        const std::size_t end = text.find("] ");
        if (end != std::string_view::npos)
            text.remove_prefix(end + 2);
    }
    constexpr std::size_t max_characters = 160;
    std::string message = escape_controls(text);
    if (char_count(message) > max_characters) {
        message.resize(char_offset(message, max_characters - 1));
        message += "\u2026";
    }
    return message;
}

}  // namespace

std::optional<Json> parse_document(std::string_view text, std::string& error) {
    if (text.size() > max_document_bytes) {
        error = strfmt("larger than %zu MiB", max_document_bytes >> 20);
        return std::nullopt;
    }
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        error = "empty";
        return std::nullopt;
    }
    const Shape shape = scan(text);
    if (shape.depth > max_document_depth) {
        error = strfmt("nested deeper than %zu levels", max_document_depth);
        return std::nullopt;
    }
    if (shape.values > max_document_values) {
        error = strfmt("more than %zu values", max_document_values);
        return std::nullopt;
    }
    // Long enough for any integer or double; longer only to make the parser slow.
    constexpr std::size_t max_number = 64;
    if (shape.longest_number > max_number) {
        error = strfmt("a number longer than %zu characters", max_number);
        return std::nullopt;
    }
    try {
        return Json::parse(text.begin(), text.end());
    } catch (const std::exception& e) {
        // Syntax, invalid UTF-8, numbers out of range, and memory running out alike.
        error = "not JSON: " + parser_message(e.what());
        return std::nullopt;
    }
}

}  // namespace nadrel::json

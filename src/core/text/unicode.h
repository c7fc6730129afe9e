// UTF-8 helpers: validation, decoding, character counts and Unicode white-space trimming.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nadrel {

// True when the bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool is_valid_utf8(std::string_view s);

// Decodes the bytes, replacing every invalid sequence by U+FFFD (the maximal-subpart rule).
std::string utf8_lossy(std::string_view s);

// Decodes one scalar value at s[i] and advances i; an invalid byte gives U+FFFD and advances by 1.
char32_t next_char(std::string_view s, std::size_t& i);

// Appends the UTF-8 encoding of c.
void append_utf8(std::string& out, char32_t c);

// Number of Unicode scalar values (the width used for alignment).
std::size_t char_count(std::string_view s);

// Byte offset of the n-th character (s.size() when n is at or past the end).
std::size_t char_offset(std::string_view s, std::size_t n);

// s when it has at most max characters (max >= 1); else its first max - 1 characters and "…".
std::string shorten(std::string_view s, std::size_t max);

// The Unicode White_Space property.
bool is_unicode_space(char32_t c);

std::string_view trim(std::string_view s);
std::string_view trim_start(std::string_view s);
std::string_view trim_end(std::string_view s);

// Lower-cases ASCII letters only; other bytes stay as they are.
std::string ascii_lower(std::string_view s);

bool starts_with(std::string_view s, std::string_view prefix);
bool ends_with(std::string_view s, std::string_view suffix);
bool contains(std::string_view s, std::string_view part);

}  // namespace nadrel

// Golden-text comparison: UPDATE_GOLDEN=1 rewrites the expected file instead of comparing.
#pragma once

#include <string>

namespace nadrel::test {

// Reads a whole file; empty when missing.
std::string read_file(const std::string& path);

// Compares text with tests/golden/<name>; with UPDATE_GOLDEN=1 set, writes it there instead.
// Returns an empty string on a match, else a short description of the first difference.
std::string compare_golden(const std::string& name, const std::string& text);

}  // namespace nadrel::test

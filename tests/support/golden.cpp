// Golden-text files.
#include "support/golden.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nadrel::test {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string compare_golden(const std::string& name, const std::string& text) {
    const std::string path = std::string(NADREL_GOLDEN_DIR) + "/" + name;
    const char* update = std::getenv("UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        return {};
    }
    const std::string expected = read_file(path);
    if (expected == text)
        return {};
    std::istringstream a(expected);
    std::istringstream b(text);
    std::string la;
    std::string lb;
    for (int line = 1;; ++line) {
        const bool ga = static_cast<bool>(std::getline(a, la));
        const bool gb = static_cast<bool>(std::getline(b, lb));
        if (!ga && !gb)
            return "files differ only in line endings";
        if (la != lb || ga != gb) {
            return name + " line " + std::to_string(line) +
                   ":\n  expected: " + (ga ? la : "<end>") + "\n  actual:   " + (gb ? lb : "<end>");
        }
    }
}

}  // namespace nadrel::test

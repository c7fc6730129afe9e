// The man page keeps up with the options and window keys the program has.
#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "support/golden.h"

namespace nadrel {
namespace {

// "--dump-smbios" as roff writes it: every hyphen escaped.
std::string roff(std::string_view text) {
    std::string out;
    for (const char c : text)
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

TEST(Docs, ManPageNamesEveryOptionAndKey) {
    const std::string man = test::read_file(std::string(NADREL_BUILD_DIR) + "/doc/nadrel.1");
    ASSERT_FALSE(man.empty());
    const auto section = [&man](const std::string& title) {
        const std::size_t at = man.find("\n.SH " + title + "\n");
        return at == std::string::npos ? std::string()
                                       : man.substr(at, man.find("\n.SH", at + 1) - at);
    };
    const std::string options = section("OPTIONS");
    for (const std::string_view name : known_options()) {
        const std::string word = " " + roff(name);
        EXPECT_TRUE(options.find(word + " ") != std::string::npos ||
                    options.find(word + "\n") != std::string::npos)
            << name;
    }
    const std::string key_list = section("WINDOW KEYS");
    for (const char* key : {"b brightness", "d diagnostic", "s save", "c or Ctrl+C copy",
                            "l live readout", "i about", "q or Esc quit"})
        EXPECT_NE(key_list.find(key), std::string::npos) << key;
    EXPECT_NE(man.find("\n.SH NAME\nnadrel \\- system-information report\n"), std::string::npos);
}

}  // namespace
}  // namespace nadrel

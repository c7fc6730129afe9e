// Name cleaning shared by the collectors and the report: trademark marks never reach a user.
#pragma once

#include <string>
#include <string_view>

namespace nadrel {

// Removes "(R)", "(r)", "(TM)", "(tm)", "(C)", "(c)" (in that order, each over the whole text),
// then every "©", "®" and "™"; nothing else changes.
std::string clean_name(std::string_view text);

}  // namespace nadrel

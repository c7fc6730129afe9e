// Name cleaning shared by the collectors and the report: trademark marks never reach a user.
#pragma once

#include <string>
#include <string_view>

namespace nadrel {

// Removes "(R)", "(r)", "(TM)", "(tm)", "(C)", "(c)" (in that order, each over the whole text),
// then every "©", "®" and "™"; nothing else changes.
std::string clean_name(std::string_view text);
// Every run of white space becomes one space ("CPU       M 560" -> "CPU M 560"): firmware and
// drives pad fixed-width fields. Kept apart from clean_name, which the report also applies to
// its own aligned values.
std::string collapse_spaces(std::string_view text);

}  // namespace nadrel

// printf-style formatting into std::string, until the compiler floor has std::format.
#pragma once

#include <string>

namespace nadrel {

__attribute__((format(printf, 1, 2))) std::string strfmt(const char* format, ...);

}  // namespace nadrel

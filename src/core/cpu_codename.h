// Processor code names and manufacturing processes by vendor, family and model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace nadrel {

// (code name, process) of the first matching row; only "GenuineIntel" and "AuthenticAMD".
std::optional<std::pair<std::string, std::string>> cpu_codename(std::string_view vendor_id,
                                                                std::uint32_t family,
                                                                std::uint32_t model_number);

}  // namespace nadrel

// libFuzzer target: power-supply attribute texts (technology, manufacture date parts, energy,
// charge and voltage), split at NUL bytes, through the battery parsers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/text/fields.h"
#include "core/text/numbers.h"
#include "linux/collect/battery.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string_view> files =
        nadrel::split_on(std::string_view(reinterpret_cast<const char*>(data), size), '\0');
    files.resize(7);
    const auto number = [&files](std::size_t i) { return nadrel::parse_u64(files[i]); };
    const std::string technology = nadrel::battery_technology(files[0]);
    if (technology.size() > files[0].size() + 7)
        std::abort();
    const std::string date = nadrel::battery_manufactured(number(1), number(2), number(3));
    if (!date.empty() && date.size() != 4 && date.size() != 7 && date.size() != 10)
        std::abort();
    (void)nadrel::battery_energy_mwh(number(4), number(5).value_or(0), number(6).value_or(0));
    return 0;
}

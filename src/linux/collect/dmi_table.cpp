// Reading the DMI table beneath a root.
#include "linux/collect/dmi_table.h"

namespace nadrel {

std::vector<DmiStructure> load_dmi_structures(const SysRoot& root) {
    // Real tables are tens of kilobytes; a larger file is not a table we can trust, and a
    // hostile one of tiny structures would cost memory out of all proportion.
    constexpr std::size_t dmi_table_limit = std::size_t{2} << 20;
    const auto bytes = read_bytes(root, "/sys/firmware/dmi/tables/DMI", dmi_table_limit);
    if (!bytes)
        return {};
    return parse_smbios_table(*bytes);
}

}  // namespace nadrel

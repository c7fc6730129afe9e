// Graphics adapters (not yet collected).
#include "linux/gpu.h"

namespace nadrel {

std::vector<GpuInfo> collect_gpus(const SysRoot&) { return {}; }
std::optional<std::string> pci_name(const SysRoot&, std::uint16_t, std::uint16_t) {
    return std::nullopt;
}
std::string pcie_link_text(const SysRoot&, std::string_view) { return {}; }

}  // namespace nadrel

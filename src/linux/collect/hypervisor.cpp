// The hypervisor's vendor from the strongest source there is.
#include "linux/collect/hypervisor.h"

#include "core/ids/virtual_machine.h"
#include "core/text/numbers.h"

namespace nadrel {

namespace {

constexpr std::string_view pci_dir = "/sys/bus/pci/devices";
// A guest has a few dozen PCI functions; more is no guest worth reading all of.
constexpr std::size_t max_pci_functions = 256;

std::vector<std::uint16_t> pci_vendors(const SysRoot& root) {
    std::vector<std::uint16_t> vendors;
    std::size_t examined = 0;
    for (const std::string& entry : list_dir_sorted(root, pci_dir)) {
        if (++examined > max_pci_functions)
            break;
        const auto texts =
            read_texts_in(root, std::string(pci_dir) + "/" + entry, {"vendor", "subsystem_vendor"});
        for (const auto& text : texts) {
            const auto id = text ? parse_hex32(*text) : std::nullopt;
            if (id && *id <= 0xFFFF)
                vendors.push_back(static_cast<std::uint16_t>(*id));
        }
    }
    return vendors;
}

}  // namespace

void collect_hypervisor(const SysRoot& root, SystemSnapshot& s) {
    HypervisorEvidence evidence;
    // The processor's own answer is the running machine's, never a captured tree's.
    if (root.is_host())
        evidence.cpuid = cpuid_hypervisor_signature();
    evidence.hypervisor_type = read_text(root, "/sys/hypervisor/type").value_or("");
    evidence.clocksource =
        read_text(root, "/sys/devices/system/clocksource/clocksource0/current_clocksource")
            .value_or("");
    evidence.dmi_name = virtual_machine_name(s.dmi, "", false);
    s.hypervisor = hypervisor_vendor(evidence);
    // PCI vendors only tell a guest's hypervisor (a real Microsoft or VMware card says nothing),
    // and are read only when nothing stronger named it.
    if (s.hypervisor.empty() && (s.cpu.hypervisor || !s.virtual_machine.empty())) {
        evidence.pci_vendors = pci_vendors(root);
        s.hypervisor = hypervisor_vendor(evidence);
    }
    if (!s.hypervisor.empty() && (s.virtual_machine.empty() || s.virtual_machine == "Yes"))
        s.virtual_machine = s.hypervisor;
}

}  // namespace nadrel

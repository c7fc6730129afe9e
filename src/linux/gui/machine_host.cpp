// The view's host on the machine: live card, save and font files.
#include "linux/gui/machine_host.h"

#include <utility>

namespace nadrel {

MachineHost::MachineHost(SysRoot root, std::optional<std::string> home, bool sanitize)
    : root_(std::move(root)), home_(std::move(home)), sanitize_(sanitize) {}

std::vector<LiveRow> MachineHost::open_live(Instant now) {
    // The addresses are this machine's: beside a captured machine's data they would mislead.
    live_ = open_live_session(
        root_, root_.is_host() ? AddressProbe(probe_local_addresses) : nullptr, sanitize_);
    return sample_live_rows(live_, root_, now);
}

std::vector<LiveRow> MachineHost::refresh_live(Instant now) {
    return sample_live_rows(live_, root_, now);
}

std::string MachineHost::save_report(const Report& report, std::string_view stamp) {
    return nadrel::save_report(root_, home_, stamp, report, sanitize_, saves_);
}

FontFileReader font_file_reader() {
    return [](const std::string& path) { return read_bytes(SysRoot(), path, large_file_limit); };
}

}  // namespace nadrel

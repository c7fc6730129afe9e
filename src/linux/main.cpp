// nadrel: the system-information report. One straight pass: arguments, snapshot, report, output.
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "core/report_builder.h"
#include "core/sanitize.h"
#include "core/smbios.h"
#include "core/snapshot_json.h"
#include "linux/app.h"
#include "linux/collect.h"
#include "linux/dmi_table.h"
#include "linux/sysroot.h"
#include "linux/window.h"

using namespace nadrel;

int main(int argc, char** argv) {
    // A closed standard output must not kill us; write errors are ignored instead.
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Flags flags = parse_args(args);
    if (flags.help) {
        write_all(2, usage_text());
        return 0;
    }
    if (!process_root().is_folder()) {
        // Every read then finds nothing: say why the report is empty.
        write_all(2, "nadrel: NADREL_SYSROOT is not a folder: " + process_root().dir() + "\n");
    }
    if (flags.dump) {
        const auto& structures = dmi_structures();
        write_all(1, format_smbios_dump(structures));
        if (structures.empty()) {
            write_all(2, "nadrel: no DMI table readable; the raw table needs root (try sudo).\n");
        }
        return 0;
    }

    SystemSnapshot collected = collect_snapshot();
    const SystemSnapshot snapshot =
        flags.sanitize ? sanitize_snapshot(std::move(collected)) : std::move(collected);
    const std::time_t now = std::time(nullptr);
    if (flags.json) {
        write_all(1, snapshot_json(snapshot, {now, flags.sanitize}));
        return 0;
    }
    const std::string stamp = stamp_text(make_stamp(now));
    Report summary = build_report(snapshot, flags.detail);
    const std::string text = render_text(title_block(stamp), summary);

    const bool wayland = std::getenv("WAYLAND_DISPLAY") != nullptr;
    const bool display = std::getenv("DISPLAY") != nullptr;
    if (decide_mode(flags, wayland, display) == RunMode::Window) {
        const auto error = run_window(snapshot, std::move(summary), stamp, flags.sanitize);
        if (!error)
            return 0;
        write_all(2, "nadrel: GUI unavailable (" + *error + "); printing instead.\n");
    }
    write_all(1, text);
    return 0;
}

// nadrel: the system-information report. One straight pass: arguments, snapshot, report, output.
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/environment.h"
#include "app/window.h"
#include "core/failure.h"
#include "core/report/builder.h"
#include "core/sanitize.h"
#include "core/smbios/smbios.h"
#include "core/snapshot_json.h"
#include "core/text/unicode.h"
#include "core/version.h"
#include "linux/collect/collect.h"
#include "linux/collect/dmi_table.h"
#include "linux/collect/identity.h"
#include "linux/root/sysroot.h"

using namespace nadrel;

namespace {

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// The one place the environment is read; everything below takes these values.
Environment read_environment() {
    Environment env;
    env.wayland_display = variable("WAYLAND_DISPLAY").has_value();
    env.display = variable("DISPLAY").has_value();
    env.gdk_scale = variable("GDK_SCALE");
    env.home = variable("HOME");
    // A home that is not UTF-8 cannot be shown in the status line; save to "." instead.
    if (env.home && !is_valid_utf8(*env.home))
        env.home.reset();
    env.sysroot = variable("NADREL_SYSROOT");
    env.xcursor_theme = variable("XCURSOR_THEME");
    env.xcursor_size = variable("XCURSOR_SIZE");
    return env;
}

}  // namespace

int main(int argc, char** argv) {
    // A closed standard output must not kill us; write errors are ignored instead.
    std::signal(SIGPIPE, SIG_IGN);

    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const Flags flags = parse_args(args);
    for (const auto& warning : flags.warnings)
        write_all(2, warning);
    if (flags.help) {
        write_all(2, usage_text());
        return 0;
    }
    if (flags.version) {
        write_all(1, "nadrel " + std::string(version) + "\n");
        return 0;
    }
    const Environment env = read_environment();
    const SysRoot root = env.sysroot ? SysRoot(*env.sysroot) : SysRoot();
    if (!root.is_folder()) {
        // Every read then finds nothing: say why the report is empty.
        write_all(2, "nadrel: NADREL_SYSROOT is not a folder: " + root.dir() + "\n");
    }
    // The SMBIOS table is read once per process, here, for the dump or for the snapshot.
    const std::vector<DmiStructure> dmi = load_dmi_structures(root);
    if (flags.dump) {
        write_all(1, format_smbios_dump(dmi));
        if (dmi.empty()) {
            write_all(2, ::geteuid() == 0
                             ? "nadrel: this machine exposes no DMI table.\n"
                             : "nadrel: no DMI table readable; the raw table needs root (try "
                               "sudo).\n");
        }
        return 0;
    }

    SystemSnapshot snapshot = collect_snapshot(root, dmi);
    // Serials and identifiers appear only in the JSON document.
    if (flags.json)
        snapshot.ids = collect_machine_ids(root);
    if (flags.sanitize) {
        SanitizedSnapshot sanitized = sanitize_snapshot(std::move(snapshot));
        snapshot = std::move(sanitized.snapshot);
        // What went, so that the user can check before sharing.
        write_all(2, "nadrel: " + hidden_summary(sanitized.hidden) + "\n");
    }
    const std::time_t now = std::time(nullptr);
    if (flags.json) {
        write_all(1, snapshot_json(snapshot, {now, flags.sanitize}));
        return 0;
    }
    const std::string stamp = stamp_text(make_stamp(now));
    const Report summary = build_report(snapshot, flags.detail);

    if (decide_mode(flags, env.wayland_display, env.display) == RunMode::Window) {
        const WindowInput input{summary, build_report(snapshot, true), stamp, flags.sanitize};
        const Failure failure = run_window(env, root, input);
        if (!failure)
            return 0;
        write_all(2, "nadrel: GUI unavailable (" + *failure + "); printing instead.\n");
    }
    write_all(1, render_text(title_block(stamp), summary));
    return 0;
}

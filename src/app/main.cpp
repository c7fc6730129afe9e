// nadrel: the system-information report. One straight pass: arguments, snapshot (this
// machine's, or a saved one), report, output. The one place that writes to standard error and
// chooses the exit status.
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/environment.h"
#include "app/saved.h"
#include "app/window.h"
#include "core/compare.h"
#include "core/failure.h"
#include "core/prometheus.h"
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

// This machine's snapshot; ids adds the identifiers only the documents hold.
SystemSnapshot collect_this_machine(const Environment& env, bool ids) {
    const SysRoot root = env.sysroot ? SysRoot(*env.sysroot) : SysRoot();
    if (!root.is_folder()) {
        // Every read then finds nothing: say why the report is empty.
        write_all(2, "nadrel: NADREL_SYSROOT is not a folder: " + root.dir() + "\n");
    }
    SystemSnapshot snapshot = collect_snapshot(root, load_dmi_structures(root));
    if (ids)
        snapshot.ids = collect_machine_ids(root);
    return snapshot;
}

// --compare: 0 when nothing changed, 1 when something did, 2 when a document is unusable.
int run_compare(const Flags& flags, const Environment& env) {
    constexpr std::string_view unknown_keys = "are compared as plain values";
    std::string failure;
    std::vector<SavedReport> saved;
    std::vector<std::string> files = flags.compare;
    if (files.size() == 1 && flags.load)
        files.push_back(*flags.load);
    for (const std::string& file : files) {
        std::optional<SavedReport> report = read_saved_report(file, unknown_keys, failure);
        if (!report) {
            write_all(2, failure);
            return 2;
        }
        write_all(2, report->warning);
        saved.push_back(std::move(*report));
    }
    std::string live;
    if (saved.size() == 1)
        live = snapshot_json(collect_this_machine(env, true), {std::time(nullptr), false});
    const Comparison result =
        compare_reports(saved[0].text, saved.size() == 2 ? std::string_view(saved[1].text) : live,
                        {flags.detail, flags.json, flags.sanitize});
    write_all(1, result.output);
    return result.changes == 0 ? 0 : 1;
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
    // Only what cannot be run at all ends here; every other path exits with status 0.
    if (!flags.errors.empty()) {
        for (const auto& error : flags.errors)
            write_all(2, error);
        return 2;
    }
    if (flags.version) {
        write_all(1, "nadrel " + std::string(version) + "\n");
        return 0;
    }
    const Environment env = read_environment();
    const SysRoot root = env.sysroot ? SysRoot(*env.sysroot) : SysRoot();
    if (flags.dump) {
        if (!root.is_folder())
            write_all(2, "nadrel: NADREL_SYSROOT is not a folder: " + root.dir() + "\n");
        const std::vector<DmiStructure> dmi = load_dmi_structures(root);
        write_all(1, format_smbios_dump(dmi));
        if (dmi.empty()) {
            write_all(2, ::geteuid() == 0
                             ? "nadrel: this machine exposes no DMI table.\n"
                             : "nadrel: no DMI table readable; the raw table needs root (try "
                               "sudo).\n");
        }
        return 0;
    }
    if (!flags.compare.empty())
        return run_compare(flags, env);

    // The machine's own snapshot, or the one a saved report holds, taken when it was saved.
    SystemSnapshot snapshot;
    std::time_t taken = std::time(nullptr);
    bool saved_sanitized = false;
    if (flags.load) {
        std::string failure;
        std::optional<SavedReport> saved = read_saved_report(*flags.load, "are ignored", failure);
        if (!saved) {
            write_all(2, failure);
            return 2;
        }
        write_all(2, saved->warning);
        snapshot = std::move(saved->report.snapshot);
        taken = static_cast<std::time_t>(saved->report.generated);
        saved_sanitized = saved->report.sanitized;
    } else {
        // Serials and identifiers appear only in the JSON document and the metrics.
        snapshot = collect_this_machine(env, flags.json || flags.prometheus);
    }
    if (flags.sanitize) {
        SanitizedSnapshot sanitized = sanitize_snapshot(std::move(snapshot));
        snapshot = std::move(sanitized.snapshot);
        // What went, so that the user can check before sharing.
        write_all(2, "nadrel: " + hidden_summary(sanitized.hidden) + "\n");
    }
    const bool sanitized = flags.sanitize || saved_sanitized;
    if (flags.json) {
        write_all(1, snapshot_json(snapshot, {taken, sanitized}));
        return 0;
    }
    if (flags.prometheus) {
        write_all(1, prometheus_text(snapshot, {sanitized, version}));
        return 0;
    }
    const std::string stamp = stamp_text(make_stamp(taken));
    const Report summary = build_report(snapshot, flags.detail);

    if (decide_mode(flags, env.wayland_display, env.display) == RunMode::Window) {
        // A saved report's file is named after its host; "Unknown" names none.
        const std::string_view host = snapshot.hostname == "Unknown" ? "" : snapshot.hostname;
        const WindowInput input{summary,   build_report(snapshot, true), stamp,
                                sanitized, flags.load.has_value(),       host};
        const Failure failure = run_window(env, root, input);
        if (!failure)
            return 0;
        write_all(2, "nadrel: GUI unavailable (" + *failure + "); printing instead.\n");
    }
    write_all(1, render_text(title_block(stamp), summary));
    return 0;
}

// Saving the report shown in the window as a text file in the home directory, named after the
// host, exactly as print mode would write it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/failure.h"
#include "core/report/report.h"
#include "linux/root/sysroot.h"

namespace nadrel {

// What a window's saves keep between presses: the name its first sanitized save took, so that
// later saves replace that file and never another.
struct SaveState {
    std::string sanitized_name;
};

// Writes the title block and the document to "{dir}/{host}-nadrel.txt" and returns the status
// message: "Saved to {path}" or "Could not save {path}: {error}". dir is HOME, or "." when
// absent.
std::string save_report(const SysRoot& root, const std::optional<std::string>& home,
                        std::string_view stamp, const Report& report);
// The same; with sanitize the file is "nadrel-report.txt" (numbered when that exists) and the
// message shows the home folder as "~", so it names neither the host nor the user's folder.
std::string save_report(const SysRoot& root, const std::optional<std::string>& home,
                        std::string_view stamp, const Report& report, bool sanitize,
                        SaveState& state);

// The first of "nadrel-report.txt", "nadrel-report-2.txt", ... that names nothing in dir.
std::string unused_report_name(const std::string& dir);

// Whether the save may make a temporary file beside the report (tests refuse it to see the
// save without one, as on a full disk).
enum class TemporaryFile : std::uint8_t { Use, Refused };

// Writes text to dir/name through a temporary file renamed over it; without one, only as a
// new file.
Failure write_report_file(const std::string& dir, const std::string& name, std::string_view text,
                          TemporaryFile temporary);

// "{dir}/{host}-nadrel.txt": dir is home or "."; the host name from the root, made safe.
std::string report_file_path(const SysRoot& root, const std::optional<std::string>& home);

// The host name made safe as one file-name component: "/" and NUL become "_"; an empty name,
// "." and ".." become "system".
std::string safe_file_component(std::string_view host);

}  // namespace nadrel

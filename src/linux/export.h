// Saving the report shown in the window as a text file in the home directory, named after the
// host, exactly as print mode would write it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/report.h"
#include "linux/sysroot.h"

namespace nadrel {

// Writes the title block and the document to "{dir}/{host}-nadrel.txt" and returns the status
// message: "Saved to {path}" or "Could not save: {error}". dir is HOME, or "." when absent.
// With sanitize the message shows "<hidden>" for the home folder and the host name.
std::string save_report(const SysRoot& root, const std::optional<std::string>& home,
                        std::string_view stamp, const Report& report, bool sanitize = false);

// "{dir}/{host}-nadrel.txt": dir is home or "."; the host name from the root, made safe.
std::string report_file_path(const SysRoot& root, const std::optional<std::string>& home);

// The host name made safe as one file-name component: "/" and NUL become "_"; an empty name,
// "." and ".." become "system".
std::string safe_file_component(std::string_view host);

}  // namespace nadrel

// The view's host on the machine being reported on: the live card read beneath the report's
// root, the save written into HOME, and font files read through the bounded reader.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "linux/export/export.h"
#include "linux/gui/draw/text.h"
#include "linux/gui/view/host.h"
#include "linux/live/card.h"
#include "linux/root/sysroot.h"

namespace nadrel {

class MachineHost : public ViewHost {
public:
    // home: where saves go ("." when absent); sanitize: the live card and the save message
    // hide what identifies the machine.
    MachineHost(SysRoot root, std::optional<std::string> home, bool sanitize);

    std::vector<LiveRow> open_live(Instant now) override;
    std::vector<LiveRow> refresh_live(Instant now) override;
    std::string save_report(const Report& report, std::string_view stamp) override;

private:
    SysRoot root_;
    std::optional<std::string> home_;
    bool sanitize_ = false;
    LiveSession live_;
    SaveState saves_;
};

// Font files read whole through the bounded, non-blocking reader.
FontFileReader font_file_reader();

}  // namespace nadrel

// What the view asks of the machine it runs on: the live card's rows and saving a document.
// The window module gives the view a host that reads beneath the report's root and writes into
// HOME; tests give it their own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/live/rows.h"
#include "core/report/report.h"

namespace nadrel {

class ViewHost {
public:
    virtual ~ViewHost() = default;
    // The live card opens at now: its static rows and a first sample.
    virtual std::vector<LiveRow> open_live(Instant now) = 0;
    // The open card at now: a new sample with rates against the previous one.
    virtual std::vector<LiveRow> refresh_live(Instant now) = 0;
    // Saves the document as the text report with its title block; the status line's message.
    virtual std::string save_report(const Report& report, std::string_view stamp) = 0;
};

}  // namespace nadrel

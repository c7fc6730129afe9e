// Replaces every identifying snapshot field; the report and the JSON are built from the result.
#include "core/sanitize.h"

namespace nadrel {

namespace {

void hide(std::string& value) {
    if (!value.empty())
        value = hidden_text;
}

}  // namespace

SystemSnapshot sanitize_snapshot(SystemSnapshot s) {
    // The collector's "Unknown" is not a name either, but hiding it too keeps the rule simple.
    hide(s.hostname);
    for (std::string* id :
         {&s.ids.system_serial, &s.ids.system_uuid, &s.ids.board_serial, &s.ids.board_asset_tag,
          &s.ids.chassis_serial, &s.ids.chassis_asset_tag, &s.ids.machine_id}) {
        hide(*id);
    }
    for (MemoryModule& m : s.memory_modules) {
        hide(m.serial);
        hide(m.asset_tag);
    }
    for (DisplayInfo& d : s.displays)
        hide(d.serial);
    for (DiskInfo& d : s.disks)
        hide(d.serial);
    hide(s.battery.serial);
    for (NetAdapter& a : s.net_adapters)
        hide(a.mac);
    return s;
}

}  // namespace nadrel

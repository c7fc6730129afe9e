// Report rows: BATTERY (capacity, wear, chemistry) and OTHER (optical, audio, Bluetooth, USB).
#include "core/report/device_text.h"
#include "core/report/format.h"
#include "core/report/sections.h"
#include "core/text/fmt.h"
#include "core/text/names.h"

namespace nadrel {

namespace {

// "  [046D:C52B, 12Mb/s, usbhid]" after a USB device's name, or nothing.
std::string usb_suffix(const UsbDevice& device) {
    const std::string ids = device.vendor_id != 0
                                ? strfmt("%04X:%04X", static_cast<unsigned>(device.vendor_id),
                                         static_cast<unsigned>(device.product_id))
                                : std::string();
    const std::string speed = device.speed_mbps != 0 ? format_speed(device.speed_mbps) : "";
    const std::string inner = join({ids, speed, usb_drivers_text(device)}, ", ");
    return inner.empty() ? inner : "  [" + inner + "]";
}

}  // namespace

std::vector<ReportRow> other_rows(const SystemSnapshot& s, bool detail) {
    std::vector<ReportRow> rows = list_rows("Optical drives", s.optical_drives);
    if (detail && !s.audio_devices.empty()) {
        rows.push_back(field("Audio endpoints", ""));
        for (const auto& entry : s.audio_devices)
            rows.push_back(raw("    " + shown_value(entry)));
    }
    append(rows, list_rows("Audio devices", s.sound_cards));
    append(rows, list_rows("Bluetooth", s.bluetooth));
    if (detail && !s.usb_devices.empty()) {
        rows.push_back(field("USB tree", ""));
        for (const auto& device : s.usb_devices) {
            const std::size_t indent = 2 * std::size_t{device.depth} + 4;
            rows.push_back(
                raw(std::string(indent, ' ') + shown_value(device.name) + usb_suffix(device)));
        }
    }
    return rows;
}

}  // namespace nadrel

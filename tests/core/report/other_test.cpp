// BATTERY and OTHER section rows, in summary and detail form.
#include <gtest/gtest.h>

#include "core/report/sections.h"
#include "support/rows.h"

namespace nadrel {
namespace {

using test::rows_text;

BatteryInfo laptop_battery() {
    BatteryInfo b;
    b.design_mwh = 50000;
    b.full_mwh = 47500;
    b.technology = "Li-ion";
    b.cycle_count = 0;
    b.min_voltage_mv = 11400;
    b.manufactured = "2023-05-17";
    return b;
}

TEST(BatteryRows, SummaryAndDetail) {
    SystemSnapshot s;
    s.batteries = {laptop_battery()};
    EXPECT_EQ(rows_text(battery_rows(s, false)),
              "  Design capacity   : 50.0Wh\n"
              "  Full charge       : 47.5Wh\n"
              "  Wear              : 5.0%\n"
              "  Chemistry         : Li-ion\n"
              "  Cycle count       : 0\n");
    EXPECT_EQ(rows_text(battery_rows(s, true)),
              "  Design capacity   : 50.0Wh\n"
              "  Full charge       : 47.5Wh\n"
              "  Wear              : 5.0%\n"
              "  Chemistry         : Li-ion\n"
              "  Cycle count       : 0\n"
              "  Design voltage    : 11.40V\n"
              "  Manufactured      : 2023-05-17\n");
}

TEST(BatteryRows, WearAndMissingValues) {
    SystemSnapshot s;
    s.batteries = {laptop_battery()};
    s.batteries[0].full_mwh = 52345;  // above design: no negative wear
    s.batteries[0].technology.clear();
    s.batteries[0].cycle_count.reset();
    s.batteries[0].min_voltage_mv = 0;
    s.batteries[0].manufactured.clear();
    EXPECT_EQ(rows_text(battery_rows(s, true)),
              "  Design capacity   : 50.0Wh\n"
              "  Full charge       : 52.3Wh\n"
              "  Wear              : 0.0%\n");
    s.batteries[0].design_mwh = 45000;
    s.batteries[0].full_mwh = 33333;
    EXPECT_EQ(rows_text(battery_rows(s, false)),
              "  Design capacity   : 45.0Wh\n"
              "  Full charge       : 33.3Wh\n"
              "  Wear              : 25.9%\n");
    // Either capacity missing drops all three rows.
    s.batteries[0].full_mwh = 0;
    s.batteries[0].technology = "Li-poly";
    EXPECT_EQ(rows_text(battery_rows(s, false)), "  Chemistry         : Li-poly\n");
    // No battery: no rows, whatever the other fields hold.
    s.batteries.clear();
    EXPECT_TRUE(battery_rows(s, true).empty());
}

TEST(BatteryRows, ChargeForms) {
    struct Case {
        std::optional<std::uint8_t> percent;
        const char* status;
        std::optional<std::uint32_t> power_mw, empty_s, full_s;
        const char* text;
    } const cases[] = {
        {40, "Charging", 25100, std::nullopt, 3900, "40% (Charging, 25.1W, 1h 5m to full)"},
        {100, "Full", 0, std::nullopt, std::nullopt, "100% (Full)"},
        {std::nullopt, "Discharging", std::nullopt, 60, std::nullopt, "Discharging, 1m left"},
    };
    for (const Case& c : cases) {
        SystemSnapshot s;
        BatteryInfo& b = s.batteries.emplace_back();
        b.charge_percent = c.percent;
        b.status = c.status;
        b.power_mw = c.power_mw;
        b.time_to_empty_s = c.empty_s;
        b.time_to_full_s = c.full_s;
        EXPECT_EQ(battery_rows(s, false).at(0).value, c.text);
    }
}

TEST(BatteryRows, PacksAsGroupsAdapterAndPeripherals) {
    SystemSnapshot s;
    s.batteries = {laptop_battery(), laptop_battery()};
    s.batteries[0].model = "DELL 0FGNC";
    s.batteries[0].manufacturer = "SMP";
    s.batteries[1].name = "BAT1";
    s.batteries[1].charge_percent = 95;
    s.ac_online = true;
    s.device_batteries = {{"G502 X PLUS", "Logitech", std::nullopt, "Normal", "Discharging"},
                          {"Logitech MX Keys", "Logitech", 85, "", ""},
                          {"", "", std::nullopt, "", ""}};
    // Packs as groups are in the laptop golden; here one named by its supply, the mains
    // connected, and peripherals with and without a charge or a name.
    const std::string text = rows_text(battery_rows(s, false));
    EXPECT_EQ(text.substr(text.find("  Battery 2")),
              "  Battery 2         : BAT1\n"
              "  \u2502 Charge          : 95%\n"
              "  \u2502 Design capacity : 50.0Wh\n"
              "  \u2502 Full charge     : 47.5Wh\n"
              "  \u2502 Wear            : 5.0%\n"
              "  \u2502 Chemistry       : Li-ion\n"
              "  \u2502 Cycle count     : 0\n"
              "  AC adapter        : Connected\n"
              "  Device batteries\n"
              "  \u2022 Logitech G502 X PLUS (Normal)\n"
              "  \u2022 Logitech MX Keys (85%)\n"
              "  \u2022 Device battery\n");
    // One pack: plain rows, its model among them.
    s.batteries.resize(1);
    s.device_batteries.clear();
    EXPECT_EQ(battery_rows(s, false).at(0).text, "Model");
    EXPECT_EQ(battery_rows(s, false).at(0).value, "DELL 0FGNC (SMP)");
}

TEST(OtherRows, SummaryAndDetail) {
    SystemSnapshot s;
    s.optical_drives = {"HL-DT-ST DVDRAM GH24NSD1"};
    s.audio_devices = {"ALC897 Analog (playback, capture)", "HDMI 0(TM) (playback)"};
    s.sound_cards = {"HDA Intel PCH", "HDA NVidia"};
    s.bluetooth = {"Intel(R) AX201 Bluetooth"};
    UsbDevice hub{"Genesys Logic USB2.1 Hub", 480, 0x05E3, 0x0610, 1, 1, "1-2", "", {}};
    // Drivers are named once each, in interface order; an interface without one adds nothing.
    UsbDevice mouse{"Logitech USB Receiver", 12, 0x046D, 0xC52B, 2, 1, "1-2.1", "2.00", {}};
    mouse.interfaces = {{0, 3, "", "usbhid"}, {1, 0xFF, "", ""}, {2, 3, "", "usbhid"}};
    UsbDevice nameless{"", 0, 0, 0x1234, 1, 1, "1-3", "", {}};
    UsbDevice fast{"Flash(R) Drive", 5000, 0, 0, 3, 2, "2-1.1.1", "3.20", {}};
    fast.interfaces = {{0, 8, "", "uas"}, {1, 8, "", "usb-storage"}};
    s.usb_devices = {hub, mouse, nameless, fast};

    EXPECT_EQ(rows_text(other_rows(s, false)),
              "  Optical drives    : HL-DT-ST DVDRAM GH24NSD1\n"
              "  Audio devices\n"
              "  \u2022 HDA Intel PCH\n"
              "  \u2022 HDA NVidia\n"
              "  Bluetooth         : Intel AX201 Bluetooth\n");
    EXPECT_EQ(rows_text(other_rows(s, true)),
              "  Optical drives    : HL-DT-ST DVDRAM GH24NSD1\n"
              "  Audio endpoints\n"
              "    ALC897 Analog (playback, capture)\n"
              "    HDMI 0 (playback)\n"
              "  Audio devices\n"
              "  \u2022 HDA Intel PCH\n"
              "  \u2022 HDA NVidia\n"
              "  Bluetooth         : Intel AX201 Bluetooth\n"
              "  USB tree\n"
              "      Genesys Logic USB2.1 Hub  [05E3:0610, 480Mb/s]\n"
              "        Logitech USB Receiver  [046D:C52B, 12Mb/s, usbhid]\n"
              "      \n"
              "          Flash Drive  [5Gb/s, uas, usb-storage]\n");
    for (const auto& row : other_rows(s, false))
        EXPECT_NE(row.kind, RowKind::Raw) << row.text;
}

TEST(OtherRows, EmptyListsDropTheirRows) {
    SystemSnapshot s;
    EXPECT_TRUE(other_rows(s, false).empty());
    EXPECT_TRUE(other_rows(s, true).empty());
    s.optical_drives = {"Optical drive", "BD-RE"};
    EXPECT_EQ(rows_text(other_rows(s, true)),
              "  Optical drives\n"
              "  \u2022 Optical drive\n"
              "  \u2022 BD-RE\n");
}

}  // namespace
}  // namespace nadrel

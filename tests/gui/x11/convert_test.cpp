// The X11 backend's server-free arithmetic: keys, GDK_SCALE, strips, pixels and selection data.
#include "linux/gui/x11/convert.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace nadrel {
namespace {

TEST(X11Keys, OnlyTheUnshiftedKeysymOfAKeycodeCounts) {
    // Keycodes 8 ... 11, two keysyms each: unshifted then shifted.
    KeyboardTable table;
    table.keysyms = {0xFF1B, 0, 0x71, 0x51, 0x62, 0x42, 0xFF51, 0};
    table.keysyms_per_keycode = 2;
    table.min_keycode = 8;
    EXPECT_EQ(keysym_for(table, 8), 0xFF1Bu);
    EXPECT_EQ(keysym_for(table, 9), 0x71u);  // q, whatever Shift says
    EXPECT_EQ(keysym_for(table, 10), 0x62u);
    EXPECT_EQ(keysym_for(table, 7), 0u);   // below the first keycode
    EXPECT_EQ(keysym_for(table, 12), 0u);  // past the table
    EXPECT_EQ(keysym_for(table, 255), 0u);
    EXPECT_EQ(keysym_for(KeyboardTable{}, 9), 0u);  // the mapping could not be fetched
}

TEST(X11Keys, KeysymsMapToViewKeys) {
    struct Case {
        std::uint32_t keysym;
        std::optional<ViewKey> key;
    };
    const Case cases[] = {
        {0xFF1B, ViewKey::Quit},     {0x71, ViewKey::Quit},       {0x51, std::nullopt},
        {0x69, ViewKey::Info},       {0x6C, ViewKey::Live},       {0x62, ViewKey::Theme},
        {0x73, ViewKey::Save},       {0x64, ViewKey::Detail},     {0x20, ViewKey::Dismiss},
        {0xFF0D, ViewKey::Dismiss},  {0xFF52, ViewKey::LineUp},   {0xFF54, ViewKey::LineDown},
        {0xFF55, ViewKey::PageUp},   {0xFF56, ViewKey::PageDown}, {0xFF50, ViewKey::Home},
        {0xFF57, ViewKey::End},      {0xFF51, std::nullopt},      {0xFF53, std::nullopt},
        {0xFF97, ViewKey::LineUp},   {0xFF99, ViewKey::LineDown}, {0xFF9A, ViewKey::PageUp},
        {0xFF9B, ViewKey::PageDown}, {0xFF95, ViewKey::Home},     {0xFF9C, ViewKey::End},
        {0xFF8D, ViewKey::Dismiss},  {0xFFB8, std::nullopt},  // KP_8 (NumLock on): no key
        {0, std::nullopt},           {0x10020AC, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(view_key_for(c.keysym), c.key) << std::hex << c.keysym;
    }
}

TEST(X11Scale, GdkScaleParsesAsADecimalFloat) {
    struct Case {
        std::string text;
        std::optional<float> value;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"2", 2.0f},
        {" 1.5\t", 1.5f},
        {"+3", 3.0f},
        {"-3", -3.0f},
        {"inf", inf},
        {"Infinity", inf},
        {"1e40", inf},
        {"1e-50", 0.0f},
        {std::string(200, '9'), inf},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"0x2", std::nullopt},
        {"2x", std::nullopt},
        {"+-2", std::nullopt},
        {"\xff"
         "2",
         std::nullopt},
        {std::string(200, 'x'), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_gdk_scale(c.text), c.value) << c.text;
    }
    const auto nan = parse_gdk_scale("nan");
    ASSERT_TRUE(nan);
    EXPECT_TRUE(std::isnan(*nan));
}

TEST(X11Scale, TheWindowFollowsTheVariableAndTheViewTheClampedScale) {
    struct Case {
        std::optional<std::string_view> value;
        float scale;
        std::int32_t width, height;
    };
    const Case cases[] = {
        {std::nullopt, 1.0f, 760, 680}, {"1", 1.0f, 760, 680},
        {"0.5", 1.0f, 760, 680},        {"abc", 1.0f, 760, 680},
        {"nan", 1.0f, 760, 680},        {"-3", 1.0f, 760, 680},
        {"2", 2.0f, 1520, 1360},        {" 1.5 ", 1.5f, 1140, 1020},
        {"20", 8.0f, 15200, 13600},     {"inf", 1.0f, 16384, 16384},
        {"1e40", 1.0f, 16384, 16384},   {std::string_view("1.0000001"), 1.0000001f, 760, 680},
    };
    for (const auto& c : cases) {
        ReportView view;
        apply_gdk_scale(view, c.value);
        const std::string label(c.value.value_or("(unset)"));
        EXPECT_FLOAT_EQ(view.scale, c.scale) << label;
        EXPECT_EQ(view.width, c.width) << label;
        EXPECT_EQ(view.height, c.height) << label;
    }
    EXPECT_EQ(scaled_side(std::nanf(""), 760), 1);
    EXPECT_EQ(scaled_side(3e9f, 1), 16384);
}

TEST(X11Scale, XftDpiToTheNearestQuarter) {
    const std::pair<std::string, std::optional<float>> cases[] = {
        {"Xft.dpi:\t192\n", 2.0f},       {"Xft.antialias:\t1\r\nXft.dpi:\t144\r\n", 1.5f},
        {"Xft.dpi: 120", 1.25f},         {"Xft.dpi: 110", 1.25f},  // 1.146
        {"Xft.dpi: 96.0", 1.0f},         {"", std::nullopt},
        {"Xft.dpi:", std::nullopt},      {"Xft.dpi: big", std::nullopt},
        {"Xft.dpi: -192", std::nullopt}, {"Xft.dpix: 192\n*dpi: 192", std::nullopt},
    };
    for (const auto& [resources, scale] : cases) {
        EXPECT_EQ(xft_dpi_scale(resources), scale) << resources;
    }
}

TEST(X11Strips, RequestsStayBelowTheLimitWithOneRowAtLeast) {
    EXPECT_EQ(rows_per_request(262140, 760), 86);
    EXPECT_EQ(rows_per_request(262140, 1520), 43);
    EXPECT_EQ(rows_per_request(262140, 70000), 1);  // one row is already too long
    EXPECT_EQ(rows_per_request(40, 760), 1);        // the headroom exceeds the limit
    EXPECT_EQ(rows_per_request(0, 0), 1);
    EXPECT_EQ(rows_per_request(64 + 16, 1), 4);
}

TEST(X11Pixels, ChannelsMoveToTheVisualsShiftsInTheServersByteOrder) {
    struct Case {
        std::uint32_t r, g, b;
        bool msb_first;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {16, 8, 0, true, {0x00, 0x11, 0x22, 0x33}},   {16, 8, 0, false, {0x33, 0x22, 0x11, 0x00}},
        {0, 8, 16, false, {0x11, 0x22, 0x33, 0x00}},   // BGR visual
        {24, 16, 8, false, {0x00, 0x33, 0x22, 0x11}},  // masks in the top three bytes
        {48, 40, 32, true, {0x00, 0x11, 0x22, 0x33}},  // shifts count modulo 32
    };
    const std::vector<std::uint32_t> pixels{0x00112233};
    for (const auto& c : cases) {
        std::vector<std::uint8_t> out;
        convert_rows(pixels, 1, 0, 1, X11PixelLayout{c.r, c.g, c.b, 24, c.msb_first}, out);
        EXPECT_EQ(out, c.bytes) << c.r << "/" << c.g << "/" << c.b << " msb " << c.msb_first;
    }
    // The top byte of a canvas pixel never reaches the server.
    std::vector<std::uint8_t> out;
    convert_rows(std::vector<std::uint32_t>{0xFF000000}, 1, 0, 1, X11PixelLayout{}, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(X11Pixels, AStripTakesItsRowsAndNeverReadsPastTheCanvas) {
    // 2 x 3 canvas: rows 0x01.., 0x02.., 0x03...
    const std::vector<std::uint32_t> pixels{0x010101, 0x010102, 0x020201,
                                            0x020202, 0x030301, 0x030302};
    std::vector<std::uint8_t> out;
    convert_rows(pixels, 2, 1, 1, X11PixelLayout{}, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 2, 2, 0, 2, 2, 2, 0}));
    convert_rows(pixels, 2, 2, 5, X11PixelLayout{}, out);
    EXPECT_EQ(out.size(), 8u);
    convert_rows(pixels, 2, 9, 1, X11PixelLayout{}, out);
    EXPECT_TRUE(out.empty());
}

TEST(X11Selection, TargetsUtf8TextAndLatin1) {
    const SelectionAtoms atoms{300, 301, 302, 303};
    const std::string text = "Caf\u00E9 \u00B7 \u2026 ok";
    const auto targets = selection_data(atoms, atoms.targets, text);
    ASSERT_TRUE(targets);
    EXPECT_EQ(targets->type, atom_atom);
    EXPECT_EQ(targets->format, 32);
    std::vector<std::uint32_t> listed(targets->bytes.size() / 4);
    std::memcpy(listed.data(), targets->bytes.data(), targets->bytes.size());
    EXPECT_EQ(listed, (std::vector<std::uint32_t>{301, 302, 303, atom_string}));
    for (const std::uint32_t target : {atoms.utf8_string, atoms.text}) {
        const auto utf8 = selection_data(atoms, target, text);
        ASSERT_TRUE(utf8);
        EXPECT_EQ(utf8->type, atoms.utf8_string);
        EXPECT_EQ(std::string(utf8->bytes.begin(), utf8->bytes.end()), text);
    }
    const auto latin1 = selection_data(atoms, atom_string, text);
    ASSERT_TRUE(latin1);
    EXPECT_EQ(std::string(latin1->bytes.begin(), latin1->bytes.end()), "Caf\xE9 \xB7 ? ok");
    EXPECT_FALSE(selection_data(atoms, 999, text));  // e.g. image/png
}

}  // namespace
}  // namespace nadrel

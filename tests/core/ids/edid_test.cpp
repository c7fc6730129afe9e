// EDID base-block rules on built blocks: names and their mends, resolution, size, date,
// depth and refresh, and damaged or odd-length input.
#include "core/ids/edid.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace nadrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A plain EDID 1.4 base block: manufacturer "DEL", product 0xA0B1, week 12 of 2015, digital
// 8-bit, 60 x 34 cm, a 2560x1440 preferred timing of 597 x 336 mm, no name, no range limits.
Bytes base_block() {
    Bytes b(128, 0);
    const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::memcpy(b.data(), header, sizeof header);
    b[8] = 0x10;  // D=4, E=5, L=12: 0 00100 00101 01100
    b[9] = 0xAC;
    b[10] = 0xB1;
    b[11] = 0xA0;
    b[16] = 12;
    b[17] = 25;
    b[18] = 1;
    b[19] = 4;
    b[20] = 0xA5;
    b[21] = 60;
    b[22] = 34;
    const std::uint8_t timing[18] = {0x56, 0x5E, 0x00, 0xA0, 0xA0, 0xA0, 0x29, 0x50, 0x30,
                                     0x20, 0x35, 0x00, 0x55, 0x50, 0x21, 0x00, 0x00, 0x1A};
    std::memcpy(b.data() + 54, timing, sizeof timing);
    for (const std::size_t at : {72u, 90u, 108u})
        b[at + 3] = 0x10;  // dummy descriptors
    return b;
}

// A display descriptor with tag and 13 payload bytes (shorter payloads are padded with
// line feed and spaces, as monitors do).
void put_descriptor(Bytes& b, std::size_t at, std::uint8_t tag, std::string_view payload) {
    std::fill(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 18), 0);
    b[at + 3] = tag;
    std::string text(payload.substr(0, 13));
    if (text.size() < 13)
        text += '\n';
    text.resize(13, ' ');
    std::memcpy(b.data() + at + 5, text.data(), 13);
}

// A range-limits descriptor with all limits 0.
void put_range_limits(Bytes& b, std::size_t at) {
    std::fill(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 18), 0);
    b[at + 3] = 0xFD;
}

DisplayInfo decode(const Bytes& b) {
    const auto d = decode_edid(b);
    EXPECT_TRUE(d.has_value());
    return d.value_or(DisplayInfo{});
}

TEST(DecodeEdid, PlainBlock) {
    const DisplayInfo d = decode(base_block());
    EXPECT_EQ(d.name, "DEL A0B1");
    EXPECT_EQ(d.width_px, 2560u);
    EXPECT_EQ(d.height_px, 1440u);
    EXPECT_EQ(d.width_mm, 597u);
    EXPECT_EQ(d.height_mm, 336u);
    EXPECT_EQ(d.diagonal_in, 27u);  // of 597 x 336 mm: 685.1 mm, 26.97 inches
    EXPECT_EQ(d.year, 2015);
    EXPECT_EQ(d.week, 12);
    EXPECT_EQ(d.bits_per_color, 8);
    EXPECT_EQ(d.max_refresh_hz, 0u);
}

TEST(DecodeEdid, ProductNames) {
    struct Case {
        std::string payload;  // of a 0xFC descriptor at 90
        const char* name;
    } const cases[] = {
        {"MONITOR 27Q\n   ", "MONITOR 27Q"},
        {"Caf\xE9 Display", "Caf\xC3\xA9 Display"},  // Latin-1
        {"  Padded  \n  ", "Padded"},
        {"DELL S3220DGF", "DELL S3220DGF"},  // 13 characters, no terminator
        {"Acer V173\n\n\n\n", "Acer V173"},
        {"Brand(R) X(c)", "Brand X"},
        {"First\nSecond", "First"},
        {"HP\tZ27\t\n", "HP Z27"},  // a tab parts words like a space
        // Real monitors: 'L222W' then NUL, four NULs before 'LCDTV', C1 junk, DEL.
        {std::string("L222W\0\n", 7), "L222W"},
        {std::string("\0\0\0\0LCDTV\n  \0", 13), "LCDTV"},
        {"A\x85"
         "B\x7F"
         "C\x9F\x1B",
         "ABC"},
        // Nothing left after dropping control characters and trimming: no candidate.
        {std::string("\0", 1), "DEL A0B1"},
        {std::string("\0\n    ", 6), "DEL A0B1"},
        {"\xA0\xA0\n", "DEL A0B1"},
        {"\n", "DEL A0B1"},
        {"(TM)", "DEL A0B1"},
    };
    for (const Case& c : cases) {
        Bytes b = base_block();
        put_descriptor(b, 90, 0xFC, c.payload);
        EXPECT_EQ(decode(b).name, c.name) << c.payload;
    }
}

TEST(DecodeEdid, FirstNonEmptyNameDescriptorWins) {
    Bytes b = base_block();
    put_descriptor(b, 72, 0xFC, std::string("\0", 1));
    put_descriptor(b, 90, 0xFC, "Second");
    put_descriptor(b, 108, 0xFC, "Third");
    EXPECT_EQ(decode(b).name, "Second");
    // A name in the preferred-timing slot counts, and then there is no timing.
    put_descriptor(b, 54, 0xFC, "Slot Zero");
    const DisplayInfo d = decode(b);
    EXPECT_EQ(d.name, "Slot Zero");
    EXPECT_EQ(d.width_px, 0u);
    EXPECT_EQ(d.height_px, 0u);
    EXPECT_EQ(d.width_mm, 600u);  // from the centimetre bytes
    EXPECT_EQ(d.height_mm, 340u);
    // Not a name: wrong tag, or a non-zero lead-in byte.
    Bytes c = base_block();
    put_descriptor(c, 72, 0xFE, "Alphanumeric");
    put_descriptor(c, 90, 0xFC, "Lead In");
    c[91] = 1;
    EXPECT_EQ(decode(c).name, "DEL A0B1");
}

TEST(DecodeEdid, ManufacturerFallback) {
    Bytes b = base_block();
    b[8] = 0x04;
    b[9] = 0x21;
    b[10] = 0x34;
    b[11] = 0x12;
    EXPECT_EQ(decode(b).name, "AAA 1234");
    b[8] = 0x6B;  // Z, Z, Z: 0 11010 11010 11010
    b[9] = 0x5A;
    b[10] = 0x0F;
    b[11] = 0x00;
    EXPECT_EQ(decode(b).name, "ZZZ 000F");
    // Letter codes 0 and 27..31 are not letters: an unnamed block is dropped, a named one kept.
    for (const std::array<std::uint8_t, 2> id : {std::array<std::uint8_t, 2>{0x00, 0x00},
                                                 {0x36, 0x7F},
                                                 {0x7C, 0x21},
                                                 {0x04, 0x3B},
                                                 {0x04, 0x20}}) {
        Bytes c = base_block();
        c[8] = id[0];
        c[9] = id[1];
        EXPECT_FALSE(decode_edid(c).has_value()) << int(id[0]) << " " << int(id[1]);
        put_descriptor(c, 108, 0xFC, "Named");
        EXPECT_EQ(decode(c).name, "Named");
    }
}

TEST(DecodeEdid, PreferredTimingAndImageSize) {
    Bytes b = base_block();
    // 1920x540 per field, interlaced: the mode is 1920x1080.
    b[56] = 0x80;
    b[58] = 0x70;
    b[59] = 0x1C;
    b[61] = 0x20;
    b[71] = 0x9E;
    DisplayInfo d = decode(b);
    EXPECT_EQ(d.width_px, 1920u);
    EXPECT_EQ(d.height_px, 1080u);
    b[71] = 0x1E;
    EXPECT_EQ(decode(b).height_px, 540u);

    // Twelve-bit sizes: upper nibbles of byte 68.
    b[66] = 0x1A;
    b[67] = 0x4E;
    b[68] = 0x42;
    d = decode(b);
    EXPECT_EQ(d.width_mm, 0x41Au);
    EXPECT_EQ(d.height_mm, 0x24Eu);
    // A timing without an image size: the centimetre bytes instead.
    b[66] = 0;
    b[68] = 0x02;
    d = decode(b);
    EXPECT_EQ(d.width_mm, 600u);
    EXPECT_EQ(d.height_mm, 340u);
    // A width without a height also falls back.
    b[66] = 0x10;
    b[67] = 0;
    b[68] = 0;
    EXPECT_EQ(decode(b).width_mm, 600u);
    // No centimetre bytes either (a projector): nothing, and no diagonal.
    b[21] = 0;
    b[22] = 0;
    d = decode(b);
    EXPECT_EQ(d.width_mm, 0u);
    EXPECT_EQ(d.height_mm, 0u);
    EXPECT_EQ(d.diagonal_in, 0u);
    // Aspect-ratio form (one byte zero): no diagonal, sizes as found.
    b[21] = 79;
    d = decode(b);
    EXPECT_EQ(d.diagonal_in, 0u);
    EXPECT_EQ(d.width_mm, 790u);
    EXPECT_EQ(d.height_mm, 0u);
}

TEST(DecodeEdid, Diagonals) {
    struct Case {
        std::uint8_t h, v;
        std::uint32_t inches;
    } const cases[] = {{60, 34, 27},    {53, 30, 24}, {34, 19, 15}, {119, 34, 49},
                       {255, 255, 142}, {1, 1, 1},    {16, 9, 7}};
    for (const Case& c : cases) {
        Bytes b = base_block();
        b[66] = b[67] = b[68] = 0;  // a timing without an image size: the centimetres count
        b[21] = c.h;
        b[22] = c.v;
        EXPECT_EQ(decode(b).diagonal_in, c.inches) << int(c.h) << "x" << int(c.v);
    }
    // With the timing's size shown, the diagonal is that size's: 255 x 255 cm beside a
    // 597 x 336 mm timing is 27", not 142"; and a timing's size alone has one too.
    Bytes b = base_block();
    b[21] = b[22] = 255;
    DisplayInfo d = decode(b);
    EXPECT_EQ(d.width_mm, 597u);
    EXPECT_EQ(d.diagonal_in, 27u);
    b[21] = b[22] = 0;
    d = decode(b);
    EXPECT_EQ(d.height_mm, 336u);
    EXPECT_EQ(d.diagonal_in, 27u);
}

TEST(DecodeEdid, Dates) {
    struct Case {
        std::uint8_t week, year;
        std::uint16_t want_year;
        std::uint8_t want_week;
    } const cases[] = {
        {12, 25, 2015, 12}, {0, 25, 2015, 0},    {54, 25, 2015, 54},
        {55, 25, 2015, 0},  {0xFE, 30, 2020, 0}, {0xFF, 25, 0, 0},
        {0xFF, 0xFF, 0, 0}, {12, 0, 0, 0},       {1, 255, 2245, 1},
    };
    for (const Case& c : cases) {
        Bytes b = base_block();
        b[16] = c.week;
        b[17] = c.year;
        const DisplayInfo d = decode(b);
        EXPECT_EQ(d.year, c.want_year) << int(c.week) << "/" << int(c.year);
        EXPECT_EQ(d.week, c.want_week) << int(c.week) << "/" << int(c.year);
    }
}

TEST(DecodeEdid, ColourDepth) {
    const std::pair<std::uint8_t, std::uint8_t> cases[] = {
        {0xA5, 8},  {0x00, 0},  {0x80, 0}, {0x95, 6}, {0xB5, 10}, {0xC0, 12},
        {0xD0, 14}, {0xE0, 16}, {0xF0, 0}, {0x7F, 0}, {0x25, 0},
    };
    for (const auto& [input, bits] : cases) {
        Bytes b = base_block();
        b[20] = input;
        EXPECT_EQ(decode(b).bits_per_color, bits) << std::hex << int(input);
    }
}

TEST(DecodeEdid, RangeLimits) {
    struct Case {
        std::uint8_t offsets, max_v;
        std::uint32_t hz;
    } const cases[] = {{0x00, 75, 75},  {0x02, 0x5A, 345}, {0x0C, 165, 165},
                       {0x03, 25, 280}, {0x08, 144, 144},  {0x02, 0, 0}};
    for (const Case& c : cases) {
        Bytes b = base_block();
        put_range_limits(b, 90);
        b[94] = c.offsets;
        b[95] = 48;
        b[96] = c.max_v;
        EXPECT_EQ(decode(b).max_refresh_hz, c.hz) << int(c.offsets) << " " << int(c.max_v);
    }
    // Only the first range-limits descriptor counts, even when it has no maximum.
    Bytes b = base_block();
    put_range_limits(b, 72);
    put_range_limits(b, 108);
    b[108 + 6] = 144;
    EXPECT_EQ(decode(b).max_refresh_hz, 0u);
    b[72 + 6] = 60;
    EXPECT_EQ(decode(b).max_refresh_hz, 60u);
}

TEST(DecodeEdid, LengthsAndDamage) {
    const Bytes good = base_block();
    for (std::size_t n : {0u, 1u, 8u, 54u, 127u}) {
        EXPECT_FALSE(decode_edid(std::span(good).first(n)).has_value()) << n;
    }
    // Extensions and trailing bytes are ignored; header and checksum are not tested.
    Bytes longer = good;
    longer.resize(384, 0xEE);
    EXPECT_EQ(decode(longer).name, "DEL A0B1");
    Bytes broken = good;
    broken[0] = 0x12;
    broken[127] ^= 0xFF;
    EXPECT_EQ(decode(broken).width_px, 2560u);
    // Every byte 0xFF: letters are 31 and there is no name.
    EXPECT_FALSE(decode_edid(Bytes(128, 0xFF)).has_value());
    EXPECT_FALSE(decode_edid(Bytes(128, 0x00)).has_value());
}

}  // namespace
}  // namespace nadrel

// The canvas arithmetic: clipping, blending, scaled alpha images and the veil.
#include "linux/gui/draw/canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace nadrel {
namespace {

std::size_t count_of(const Canvas& canvas, Colour colour) {
    return static_cast<std::size_t>(
        std::count(canvas.pixels().begin(), canvas.pixels().end(), colour));
}

TEST(Canvas, SizesBelowOneBecomeOne) {
    const Canvas canvas = Canvas::create(0, -5, 0x123456);
    EXPECT_EQ(canvas.width(), 1);
    EXPECT_EQ(canvas.height(), 1);
    EXPECT_EQ(canvas.pixel(0, 0), 0x123456u);
    // The top byte of a colour never reaches the canvas.
    EXPECT_EQ(Canvas::create(2, 2, 0xFF112233).pixel(1, 1), 0x112233u);
}

TEST(Canvas, FillRectClipsToTheCanvas) {
    struct Case {
        std::int32_t x, y, w, h;
        std::size_t filled;
    };
    constexpr std::int32_t big = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t small = std::numeric_limits<std::int32_t>::min();
    const Case cases[] = {
        {-20, 0, 10, 5, 0},      // entirely left
        {0, -20, 5, 10, 0},      // entirely above
        {2, 2, 0, 5, 0},         // empty width
        {2, 2, 5, -1, 0},        // negative height
        {10, 8, 5, 5, 0},        // entirely right and below
        {-5, -5, 100, 100, 80},  // larger than the canvas: exactly the canvas
        {8, 6, 5, 5, 4},         // the bottom-right corner
        {1, 1, 2, 3, 6},
        {big, big, big, big, 0},  // no overflow in x + w
        {small, small, big, big, 0},
        {-3, 0, big, 1, 10},
    };
    for (const Case& c : cases) {
        Canvas canvas = Canvas::create(10, 8, 0);
        canvas.fill_rect(c.x, c.y, c.w, c.h, 0xFF00FF);
        EXPECT_EQ(count_of(canvas, 0xFF00FF), c.filled)
            << c.x << "," << c.y << " " << c.w << "x" << c.h;
    }
    Canvas canvas = Canvas::create(10, 8, 0);
    canvas.fill_rect(8, 6, 5, 5, 0xABCDEF);
    EXPECT_EQ(canvas.pixel(8, 6), 0xABCDEFu);
    EXPECT_EQ(canvas.pixel(9, 7), 0xABCDEFu);
    EXPECT_EQ(canvas.pixel(7, 7), 0u);
}

TEST(Canvas, BlendRoundsPerChannel) {
    EXPECT_EQ(blend_pixel(0x000000, 0xFFFFFF, 128), 0x808080u);
    EXPECT_EQ(blend_pixel(0x000000, 0xFFFFFF, 1), 0x010101u);
    EXPECT_EQ(blend_pixel(0x123456, 0xFFFFFF, 0), 0x123456u);
    EXPECT_EQ(blend_pixel(0x123456, 0xFFABCDEF, 255), 0xABCDEFu);
    // (100 x 200 + 155 x 10 + 127) / 255 = 85 for each channel; the top byte is dropped.
    EXPECT_EQ(blend_pixel(0xFF0A0A0A, 0xC8C8C8, 100), 0x555555u);
    // Channels do not bleed into each other.
    EXPECT_EQ(blend_pixel(0x0000FF, 0xFF0000, 128), 0x80007Fu);
}

TEST(Canvas, BlendCoverageClipsAndSkipsZero) {
    Canvas canvas = Canvas::create(4, 4, 0x000000);
    const std::vector<std::uint8_t> mask = {255, 128, 0,  //
                                            1,   255, 255};
    canvas.blend_coverage(-1, 2, mask, 3, 2, 0xFFFFFF);
    EXPECT_EQ(canvas.pixel(0, 2), 0x808080u);
    EXPECT_EQ(canvas.pixel(1, 2), 0x000000u);
    EXPECT_EQ(canvas.pixel(0, 3), 0xFFFFFFu);
    EXPECT_EQ(canvas.pixel(1, 3), 0xFFFFFFu);
    EXPECT_EQ(count_of(canvas, 0), 13u);
    // A mask shorter than its stated size draws nothing.
    canvas.blend_coverage(0, 0, mask, 3, 3, 0x00FF00);
    EXPECT_EQ(count_of(canvas, 0x00FF00), 0u);
}

TEST(Canvas, DimDarkensEveryChannel) {
    Canvas canvas = Canvas::create(2, 1, 0xFFFFFF);
    canvas.fill_rect(1, 0, 1, 1, 0x000000);
    canvas.dim();
    EXPECT_EQ(canvas.pixel(0, 0), 0x878787u);  // 135
    EXPECT_EQ(canvas.pixel(1, 0), 0x000000u);
    Canvas grey = Canvas::create(1, 1, 0x804020);
    grey.dim();
    // As black blended at coverage 120.
    EXPECT_EQ(grey.pixel(0, 0), blend_pixel(0x804020, 0, 120));
}

// A 20 x 20 image whose alpha is (row x 20 + column) mod 251 + 1, never 0.
std::vector<std::uint8_t> numbered_image() {
    std::vector<std::uint8_t> image(alpha_image_bytes);
    for (std::size_t i = 0; i < 400; ++i) {
        image[i * 4 + 3] = static_cast<std::uint8_t>(i % 251 + 1);
    }
    return image;
}

TEST(Canvas, AlphaImageScalesByNearestNeighbour) {
    const auto image = numbered_image();
    const auto alpha = [&](std::int32_t row, std::int32_t col) {
        return image[static_cast<std::size_t>(row * 20 + col) * 4 + 3];
    };
    const auto expected = [](std::uint8_t a) { return blend_pixel(0, 0xFFFFFF, a); };
    for (const std::int32_t size : {20, 40, 10}) {
        Canvas canvas = Canvas::create(50, 50, 0);
        canvas.draw_alpha_image(3, 4, size, image, 0xFFFFFF);
        for (std::int32_t j = 0; j < size; ++j) {
            for (std::int32_t k = 0; k < size; ++k) {
                ASSERT_EQ(canvas.pixel(3 + k, 4 + j), expected(alpha(j * 20 / size, k * 20 / size)))
                    << size << ": " << j << "," << k;
            }
        }
        EXPECT_EQ(count_of(canvas, 0), 2500u - static_cast<std::size_t>(size * size));
    }
    Canvas canvas = Canvas::create(8, 8, 0);
    canvas.draw_alpha_image(0, 0, 0, image, 0xFFFFFF);
    canvas.draw_alpha_image(0, 0, -4, image, 0xFFFFFF);
    canvas.draw_alpha_image(-60, -60, 100, image, 0xFFFFFF);  // only a part, from 60, 60
    EXPECT_EQ(canvas.pixel(0, 0), expected(alpha(12, 12)));
    EXPECT_EQ(canvas.pixel(5, 5), expected(alpha(13, 13)));
}

TEST(Canvas, AlphaImageAtAnUnevenRatioTakesEachPixelsShare) {
    // A source with only its first column opaque, drawn 30 pixels wide: the target's second
    // column covers half of it (nearest neighbour would draw it whole).
    std::vector<std::uint8_t> column(alpha_image_bytes);
    for (std::size_t row = 0; row < 20; ++row) {
        column[row * 20 * 4 + 3] = 255;
    }
    Canvas canvas = Canvas::create(30, 30, 0);
    canvas.draw_alpha_image(0, 0, 30, column, 0xFFFFFF);
    EXPECT_EQ(canvas.pixel(0, 10), 0xFFFFFFu);
    EXPECT_EQ(canvas.pixel(1, 10), 0x808080u);  // 255 x 10 / 20, rounded
    EXPECT_EQ(canvas.pixel(2, 10), 0u);
    EXPECT_EQ(count_of(canvas, 0xFFFFFF), 30u);
}

TEST(Canvas, ConversionsSaturate) {
    EXPECT_EQ(trunc_i32(std::nan("")), 0);
    EXPECT_EQ(trunc_i32(1e20), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(trunc_i32(-1e20), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(trunc_i32(-2.7), -2);
    EXPECT_EQ(round_i32(2.5), 3);
    EXPECT_EQ(round_i32(-2.5), -3);
    EXPECT_EQ(round_i32(INFINITY), std::numeric_limits<std::int32_t>::max());
}

}  // namespace
}  // namespace nadrel

// The software frame buffer every window frame is drawn into: 0x00RRGGBB pixels, row-major.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace nadrel {

// 0x00RRGGBB: blue in bits 0-7, green 8-15, red 16-23; the top byte is always 0.
using Colour = std::uint32_t;

// Side and pixel lengths of the header button images (RGBA, only alpha is used).
inline constexpr int alpha_image_side = 20;
inline constexpr std::size_t alpha_image_bytes = 20 * 20 * 4;

class Canvas {
public:
    // A canvas of max(1, width) x max(1, height) pixels, all of one colour.
    static Canvas create(std::int32_t width, std::int32_t height, Colour colour);

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    // width x height words, top row first, stride = width.
    std::span<const std::uint32_t> pixels() const { return pixels_; }
    // The pixel at (x, y), which must lie inside the canvas.
    std::uint32_t pixel(std::int32_t x, std::int32_t y) const {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)];
    }

    // Solid rectangle with its top-left corner at (x, y), clipped to the canvas.
    void fill_rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, Colour colour);
    // An 8-bit coverage mask (row-major, 0 transparent, 255 opaque) with its top-left at (x, y).
    // mask must hold mask_width x mask_height bytes; a shorter mask draws nothing.
    void blend_coverage(std::int32_t x, std::int32_t y, std::span<const std::uint8_t> mask,
                        std::int32_t mask_width, std::int32_t mask_height, Colour colour);
    // The alpha channel of a 20 x 20 RGBA image scaled to size x size: nearest neighbour when
    // size is a multiple or a whole fraction of 20, else each pixel's share of the source.
    void draw_alpha_image(std::int32_t x, std::int32_t y, std::int32_t size,
                          std::span<const std::uint8_t> image, Colour colour);
    // Darkens every pixel, as black blended at coverage 120 (under a modal card).
    void dim();

private:
    std::vector<std::uint32_t> pixels_;
    std::int32_t width_ = 1;
    std::int32_t height_ = 1;
};

// One coverage value a of colour c over destination d, per channel, rounded.
Colour blend_pixel(Colour d, Colour c, std::uint8_t a);

// Saturating float-to-integer conversions (NaN gives 0): truncation toward zero, and rounding
// with halves away from zero.
std::int32_t trunc_i32(double v);
std::int32_t round_i32(double v);
// A 64-bit integer limited to the 32-bit range.
std::int32_t clamp_i32(std::int64_t v);

}  // namespace nadrel

// The software frame buffer: solid rectangles, coverage masks, scaled alpha images and a veil.
#include "linux/gui/draw/canvas.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nadrel {

namespace {

constexpr std::uint32_t channel(Colour c, int shift) {
    return (c >> shift) & 0xFFu;
}

std::size_t index_of(std::int32_t x, std::int32_t y, std::int32_t width) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
}

// [lo, hi) of a span starting at start with length len, clipped to [0, limit).
std::pair<std::int32_t, std::int32_t> clip_span(std::int32_t start, std::int32_t len,
                                                std::int32_t limit) {
    const std::int64_t lo = std::max<std::int64_t>(0, start);
    const std::int64_t hi = std::min<std::int64_t>(limit, std::int64_t{start} + len);
    return {static_cast<std::int32_t>(lo), static_cast<std::int32_t>(std::max(lo, hi))};
}

}  // namespace

Canvas Canvas::create(std::int32_t width, std::int32_t height, Colour colour) {
    Canvas canvas;
    canvas.width_ = std::max<std::int32_t>(1, width);
    canvas.height_ = std::max<std::int32_t>(1, height);
    canvas.pixels_.assign(
        static_cast<std::size_t>(canvas.width_) * static_cast<std::size_t>(canvas.height_),
        colour & 0xFFFFFFu);
    return canvas;
}

void Canvas::fill_rect(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                       Colour colour) {
    if (w <= 0 || h <= 0) {
        return;
    }
    const auto [x0, x1] = clip_span(x, w, width_);
    const auto [y0, y1] = clip_span(y, h, height_);
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    const Colour c = colour & 0xFFFFFFu;
    for (std::int32_t row = y0; row < y1; ++row) {
        auto first = pixels_.begin() + static_cast<std::ptrdiff_t>(index_of(x0, row, width_));
        std::fill(first, first + (x1 - x0), c);
    }
}

Colour blend_pixel(Colour d, Colour c, std::uint8_t a) {
    if (a == 0) {
        return d;
    }
    if (a == 255) {
        return c & 0xFFFFFFu;
    }
    const std::uint32_t inv = 255u - a;
    Colour out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t v = (a * channel(c, shift) + inv * channel(d, shift) + 127u) / 255u;
        out |= v << shift;
    }
    return out;
}

void Canvas::blend_coverage(std::int32_t x, std::int32_t y, std::span<const std::uint8_t> mask,
                            std::int32_t mask_width, std::int32_t mask_height, Colour colour) {
    if (mask_width <= 0 || mask_height <= 0 ||
        mask.size() / static_cast<std::size_t>(mask_width) <
            static_cast<std::size_t>(mask_height)) {
        return;
    }
    const auto [x0, x1] = clip_span(x, mask_width, width_);
    const auto [y0, y1] = clip_span(y, mask_height, height_);
    for (std::int32_t row = y0; row < y1; ++row) {
        const std::size_t src_row =
            static_cast<std::size_t>(row - y) * static_cast<std::size_t>(mask_width);
        std::uint32_t* dst = pixels_.data() + index_of(0, row, width_);
        for (std::int32_t col = x0; col < x1; ++col) {
            const std::uint8_t a = mask[src_row + static_cast<std::size_t>(col - x)];
            if (a != 0) {
                dst[col] = blend_pixel(dst[col], colour, a);
            }
        }
    }
}

void Canvas::draw_alpha_image(std::int32_t x, std::int32_t y, std::int32_t size,
                              std::span<const std::uint8_t> image, Colour colour) {
    if (size <= 0 || image.size() < alpha_image_bytes) {
        return;
    }
    const auto [x0, x1] = clip_span(x, size, width_);
    const auto [y0, y1] = clip_span(y, size, height_);
    if (size % alpha_image_side != 0 && alpha_image_side % size != 0) {
        // Not a whole ratio (30 pixels at scale 1.5): nearest neighbour would draw some source
        // pixels twice as wide as others, so each target pixel takes the source's coverage
        // over its area instead.
        const std::int64_t s = size;
        const auto overlap = [s](std::int64_t target, std::int64_t source) {
            // In units of 1/size source pixels: the target covers [20 t, 20 t + 20), the
            // source pixel [size s, size s + size).
            const std::int64_t lo = std::max(target * alpha_image_side, source * s);
            const std::int64_t hi =
                std::min(target * alpha_image_side + alpha_image_side, source * s + s);
            return std::max<std::int64_t>(0, hi - lo);
        };
        for (std::int32_t row = y0; row < y1; ++row) {
            const std::int64_t j = std::int64_t{row} - y;
            const std::int64_t sy0 = j * alpha_image_side / s;
            const std::int64_t sy1 = std::min<std::int64_t>(
                alpha_image_side - 1, (j * alpha_image_side + alpha_image_side - 1) / s);
            std::uint32_t* dst = pixels_.data() + index_of(0, row, width_);
            for (std::int32_t col = x0; col < x1; ++col) {
                const std::int64_t k = std::int64_t{col} - x;
                const std::int64_t sx0 = k * alpha_image_side / s;
                const std::int64_t sx1 = std::min<std::int64_t>(
                    alpha_image_side - 1, (k * alpha_image_side + alpha_image_side - 1) / s);
                std::int64_t sum = 0;
                for (std::int64_t sy = sy0; sy <= sy1; ++sy) {
                    for (std::int64_t sx = sx0; sx <= sx1; ++sx) {
                        const auto at = static_cast<std::size_t>(sy * alpha_image_side + sx);
                        sum += std::int64_t{image[at * 4 + 3]} * overlap(k, sx) * overlap(j, sy);
                    }
                }
                const auto a =
                    static_cast<std::uint8_t>((sum + alpha_image_side * alpha_image_side / 2) /
                                              (alpha_image_side * alpha_image_side));
                if (a != 0) {
                    dst[col] = blend_pixel(dst[col], colour, a);
                }
            }
        }
        return;
    }
    const auto source = [size](std::int64_t target) {
        return static_cast<std::size_t>(
            std::clamp<std::int64_t>(target * alpha_image_side / size, 0, alpha_image_side - 1));
    };
    for (std::int32_t row = y0; row < y1; ++row) {
        const std::size_t sy = source(std::int64_t{row} - y);
        std::uint32_t* dst = pixels_.data() + index_of(0, row, width_);
        for (std::int32_t col = x0; col < x1; ++col) {
            const std::size_t sx = source(std::int64_t{col} - x);
            const std::uint8_t a = image[(sy * alpha_image_side + sx) * 4 + 3];
            if (a != 0) {
                dst[col] = blend_pixel(dst[col], colour, a);
            }
        }
    }
}

void Canvas::dim() {
    for (std::uint32_t& p : pixels_) {
        Colour out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            out |= ((channel(p, shift) * 135u + 127u) / 255u) << shift;
        }
        p = out;
    }
}

std::int32_t trunc_i32(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    if (v >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (v <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(v);
}

std::int32_t round_i32(double v) {
    return trunc_i32(std::round(v));
}

std::int32_t clamp_i32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace nadrel

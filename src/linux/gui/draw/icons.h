// The section icons (rectangles on a 24 x 24 grid) and the seven header button images.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/report/report.h"

namespace nadrel {

// One rectangle of a section icon; a hole is painted in the page background.
struct IconRect {
    std::int8_t x = 0;
    std::int8_t y = 0;
    std::int8_t w = 0;
    std::int8_t h = 0;
    bool hole = false;
};

// The rectangles of a section kind's icon, painted in order.
std::span<const IconRect> section_icon(SectionKind kind);

enum class ButtonImage : std::uint8_t {
    Sun = 0,
    Floppy = 1,
    InfoCircle = 2,
    Cross = 3,
    EmptyBox = 4,
    TickedBox = 5,
    Pulse = 6,
};

// A 20 x 20 RGBA image (only alpha is used by the canvas).
using AlphaImage = std::array<std::uint8_t, 20 * 20 * 4>;
const AlphaImage& button_image(ButtonImage image);

}  // namespace nadrel

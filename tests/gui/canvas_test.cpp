// The canvas arithmetic: clipping, blending, scaled alpha images and the veil.
#include "linux/gui/canvas.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(Canvas, ZeroSizeBecomesOnePixel) {
    const Canvas canvas = Canvas::create(0, -5, 0x123456);
    EXPECT_EQ(canvas.width(), 1);
    EXPECT_EQ(canvas.height(), 1);
    EXPECT_EQ(canvas.pixel(0, 0), 0x123456u);
}

}  // namespace
}  // namespace nadrel

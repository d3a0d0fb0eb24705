// Per-pixel blends shared by the engine's frames and the text layer.

#include "platform/graphics/pixel_blend.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor Red = MakeColor(255, 0, 0);
constexpr TColor Black = MakeColor(0, 0, 0);

TEST(PixelBlend, BlendCoverageMixesByCoverage) {
    uint8_t White[4] = {255, 255, 255, 255};
    BlendCoverage(White, Black, 0);
    EXPECT_EQ(White[0], 255);
    BlendCoverage(White, Black, 255);
    EXPECT_EQ(White[0], 0);
    EXPECT_EQ(White[3], 255);
    uint8_t Grey[4] = {255, 255, 255, 255};
    BlendCoverage(Grey, Black, 128);
    EXPECT_NEAR(Grey[0], 127, 1);
    EXPECT_EQ(Grey[3], 255);
    // Over a transparent pixel the colour is kept whole and only alpha is partial.
    uint8_t Clear[4] = {0, 0, 0, 0};
    BlendCoverage(Clear, Red, 64);
    EXPECT_EQ(Clear[2], 255);
    EXPECT_EQ(Clear[3], 64);
    // Over a half-transparent pixel the result is more opaque than either.
    uint8_t Half[4] = {255, 0, 0, 128};
    BlendCoverage(Half, Red, 128);
    EXPECT_NEAR(Half[3], 192, 1);
    EXPECT_NEAR(Half[2], 170, 2);
    EXPECT_NEAR(Half[0], 85, 2);
}

} // namespace

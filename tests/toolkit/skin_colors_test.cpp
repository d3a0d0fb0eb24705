#include "toolkit/skin/skin_colors.h"

#include "tests/canvas/pixels_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor Black = MakeColor(0, 0, 0);
constexpr TColor White = MakeColor(255, 255, 255);

// Face (212, 208, 200) and shadow (128, 128, 128): a classic grey scheme
// with one channel pair that differs from the others.
class SkinColorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TSystemColors Colors;
        Colors.ButtonFace = MakeColor(212, 208, 200);
        Colors.ButtonShadow = MakeColor(128, 128, 128);
        Colors.ButtonHighlight = MakeColor(240, 236, 232);
        Colors.GrayText = MakeColor(100, 100, 100);
        SetSystemColors(Colors);
    }
    void TearDown() override { SetSystemColors(TSystemColors{}); }

    static TPixel Face() { return Bgra(212, 208, 200); }
};

TEST_F(SkinColorsTest, ShadowOpTurnsTheFaceIntoTheShadowAtHalfStrengthAndBlackAtFull) {
    EXPECT_EQ(ShadowOp(ColorToPixel(Black), Face(), 128), Bgra(128, 128, 129));
    EXPECT_EQ(ShadowOp(ColorToPixel(Black), Face(), 255), Bgra(1, 1, 1));
    EXPECT_EQ(ShadowOp(ColorToPixel(Black), Face(), 0), Face());
}

TEST_F(SkinColorsTest, ShadowOpUsesOnlyTheColoursAlphaAndKeepsThePixelsAlpha) {
    EXPECT_EQ(ShadowOp(ColorToPixel(White), Face(), 128), Bgra(128, 128, 129));
    EXPECT_EQ(ShadowOp(Bgra(0, 0, 0, 0), Face(), 255), Face());
    EXPECT_EQ(ShadowOp(ColorToPixel(Black), Bgra(212, 208, 200, 77), 128), Bgra(128, 128, 129, 77));
    // Half the colour's alpha at full strength is half strength.
    EXPECT_EQ(ShadowOp(Bgra(0, 0, 0, 128), Face(), 255), Bgra(128, 128, 129));
}

TEST_F(SkinColorsTest, HighlightOpTurnsTheFaceIntoTheHighlightAtHalfStrengthAndWhiteAtFull) {
    TPixel Half = HighlightOp(ColorToPixel(White), Face(), 128);
    EXPECT_NEAR(int(Half >> 16 & 255), 240, 1);
    EXPECT_NEAR(int(Half >> 8 & 255), 236, 1);
    EXPECT_NEAR(int(Half & 255), 232, 1);
    TPixel Full = HighlightOp(ColorToPixel(White), Face(), 255);
    EXPECT_NEAR(int(Full >> 16 & 255), 255, 1);
    EXPECT_NEAR(int(Full >> 8 & 255), 255, 1);
    EXPECT_NEAR(int(Full & 255), 255, 1);
}

TEST_F(SkinColorsTest, AChannelWhoseShadowEqualsTheFaceDarkensOnlyFromHalfStrength) {
    TSystemColors Colors = SystemColors();
    Colors.ButtonShadow = MakeColor(212, 100, 100);
    SetSystemColors(Colors);
    for (uint32_t Strength : {1u, 64u, 127u, 128u})
        EXPECT_EQ(ShadowOp(ColorToPixel(Black), Face(), Strength) >> 16 & 255, 212u) << Strength;
    // The table rises from 0 at 128: 2 at 129, 254 at 255.
    EXPECT_EQ(ShadowOp(ColorToPixel(Black), Face(), 129) >> 16 & 255, 210u);
    EXPECT_EQ(ShadowOp(ColorToPixel(Black), Face(), 255) >> 16 & 255, 1u);
    EXPECT_LT(ShadowOp(ColorToPixel(Black), Face(), 64) >> 8 & 255, 208u);
}

TEST_F(SkinColorsTest, TheRampRunsThroughItsAnchorsLinearly) {
    const auto& Ramp = SkinColors().ColorRamp;
    EXPECT_EQ(Ramp[0], MakeColor(0, 0, 0));
    EXPECT_EQ(Ramp[64], MakeColor(64, 64, 64));
    EXPECT_EQ(Ramp[128], MakeColor(128, 128, 128));
    EXPECT_EQ(Ramp[160], MakeColor(170, 168, 164));
    EXPECT_EQ(Ramp[192], MakeColor(212, 208, 200));
    EXPECT_EQ(Ramp[208], MakeColor(226, 222, 216));
    EXPECT_EQ(Ramp[224], MakeColor(240, 236, 232));
    EXPECT_EQ(Ramp[254], MakeColor(254, 254, 254)); // 240 + 15 * 30 div 31
    EXPECT_EQ(Ramp[255], MakeColor(255, 255, 255));
}

TEST_F(SkinColorsTest, DerivedColoursFollowTheSystemColours) {
    const TSkinColors& S = SkinColors();
    EXPECT_EQ(S.FaceColor, MakeColor(212, 208, 200));
    EXPECT_EQ(S.ShadowColor, MakeColor(128, 128, 128));
    EXPECT_EQ(S.DisabledTextColor, MixColors(MakeColor(212, 208, 200), MakeColor(100, 100, 100), 224));
    TSystemColors Colors = SystemColors();
    Colors.HasMenuBar = false;
    Colors.Menu = MakeColor(1, 2, 3);
    SetSystemColors(Colors);
    EXPECT_EQ(SkinColors().MenuBarColor, MakeColor(1, 2, 3));
}

TEST(MixColors, GoesTheGivenShareOfTheWayAlphaIncluded) {
    TColor A = MakeColor(0, 100, 200, 0), B = MakeColor(255, 100, 0, 255);
    EXPECT_EQ(MixColors(A, B, 0), A);
    EXPECT_EQ(MixColors(A, B, 255), B);
    EXPECT_EQ(MixColors(A, B, 128), MakeColor(128, 100, 100, 128));
}

TEST_F(SkinColorsTest, RecolorMapsGreysToTheRampAndLeavesColoursAndTransparencyAlone) {
    TPixels Pixels(6, 1);
    Put(Pixels, 0, 0, Bgra(192, 192, 192));
    Put(Pixels, 1, 0, Bgra(128, 128, 128, 90));
    Put(Pixels, 2, 0, Bgra(255, 0, 0));
    Put(Pixels, 3, 0, Bgra(50, 60, 70, 0));
    Put(Pixels, 4, 0, Bgra(194, 192, 190)); // nearly grey: d = 16
    Put(Pixels, 5, 0, Bgra(0, 0, 0));
    SkinRecolor(Pixels);
    EXPECT_EQ(At(Pixels, 0, 0), Bgra(212, 208, 200));
    EXPECT_EQ(At(Pixels, 1, 0), Bgra(128, 128, 128, 90));
    EXPECT_EQ(At(Pixels, 2, 0), Bgra(255, 0, 0));
    EXPECT_EQ(At(Pixels, 3, 0), Bgra(50, 60, 70, 0));
    // k = Mul[16][16] = 1: the ramp colour moved 1/255 toward the original.
    EXPECT_EQ(At(Pixels, 4, 0), Bgra(212, 208, 200));
    EXPECT_EQ(At(Pixels, 5, 0), Bgra(0, 0, 0));
}

TEST_F(SkinColorsTest, RecolorKeepsMoreOfTheOriginalTheLessGreyAPixelIs) {
    TPixels Pixels(1, 1);
    Put(Pixels, 0, 0, Bgra(222, 192, 162)); // v = 192, d = 240: k = 226
    SkinRecolor(Pixels);
    TPixel P = At(Pixels, 0, 0);
    EXPECT_NEAR(int(P >> 16 & 255), 221, 1);
    EXPECT_NEAR(int(P >> 8 & 255), 194, 1);
    EXPECT_NEAR(int(P & 255), 167, 1);
}

} // namespace

#include "toolkit/skin/look.h"

#include "tests/canvas/pixels_test_support.h"
#include "toolkit/skin/skin_colors.h"

#include <gtest/gtest.h>

namespace {

constexpr TPixel Face = Bgra(212, 208, 200);
constexpr TPixel White = Bgra(255, 255, 255);

class LookTest : public ::testing::Test {
protected:
    void SetUp() override {
        TSystemColors Colors;
        Colors.ButtonFace = MakeColor(212, 208, 200);
        Colors.ButtonShadow = MakeColor(128, 128, 128);
        SetSystemColors(Colors);
    }
    void TearDown() override { SetSystemColors(TSystemColors{}); }

    static TPixels FaceRaster(int32_t Width, int32_t Height) {
        TPixels Pixels(Width, Height);
        Pixels.FillAll(PixelToColor(Face));
        return Pixels;
    }
};

TEST_F(LookTest, AButtonAtRestDrawsNoBackgroundOrFrame) {
    TPixels Pixels = FaceRaster(8, 8);
    TButtonState State;
    PaintButtonBackground({1, 1, 7, 7}, Pixels, State);
    PaintButtonFrame({1, 1, 7, 7}, Pixels, State);
    EXPECT_TRUE(UnchangedOutside(Pixels, {}, Face));
}

TEST_F(LookTest, AHotButtonIsHighlightedWithSofterCorners) {
    TPixels Pixels = FaceRaster(8, 8);
    PaintButtonBackground({1, 1, 7, 7}, Pixels, {true, false, false, true});
    TPixel White32 = ColorToPixel(MakeColor(255, 255, 255));
    EXPECT_EQ(At(Pixels, 3, 3), HighlightOp(White32, Face, 64));
    EXPECT_EQ(At(Pixels, 3, 1), HighlightOp(White32, Face, 64));
    EXPECT_EQ(At(Pixels, 1, 1), HighlightOp(White32, Face, 16));
    EXPECT_EQ(At(Pixels, 6, 6), HighlightOp(White32, Face, 16));
    EXPECT_NE(At(Pixels, 3, 3), Face);
    EXPECT_TRUE(UnchangedOutside(Pixels, {1, 1, 7, 7}, Face));
}

TEST_F(LookTest, AHotFrameBlendsItsEdgesAndHalfAsMuchIntoItsCorners) {
    TPixels Pixels = FaceRaster(8, 8);
    PaintButtonFrame({1, 1, 7, 7}, Pixels, {true, false, false, true});
    TPixels Edge = FaceRaster(1, 1), Corner = FaceRaster(1, 1);
    Edge.BlendRect({0, 0, 1, 1}, AlphaColor(SystemColors().Highlight, 64));
    Corner.BlendRect({0, 0, 1, 1}, AlphaColor(SystemColors().Highlight, 32));
    EXPECT_EQ(At(Pixels, 3, 1), At(Edge, 0, 0));
    EXPECT_EQ(At(Pixels, 6, 4), At(Edge, 0, 0));
    EXPECT_EQ(At(Pixels, 1, 1), At(Corner, 0, 0));
    EXPECT_EQ(At(Pixels, 3, 3), Face);
    EXPECT_TRUE(UnchangedOutside(Pixels, {1, 1, 7, 7}, Face));
}

TEST_F(LookTest, AButtonImageIsCentredAndCastsAShadowWhenHot) {
    TPixels Picture(2, 2);
    Picture.FillAll(MakeColor(255, 0, 0));
    TPixels Pixels(8, 8);
    Pixels.FillAll(MakeColor(255, 255, 255));
    PaintButtonImage({0, 0, 8, 8}, Pixels, {true, false, false, true}, Picture);
    EXPECT_EQ(At(Pixels, 3, 3), Bgra(255, 0, 0));
    EXPECT_EQ(At(Pixels, 2, 2), White);
    EXPECT_NE(At(Pixels, 6, 6), White); // the shadow at (X + 2, Y + 2)
    EXPECT_EQ(At(Pixels, 7, 7), White);
    EXPECT_EQ(At(Pixels, 6, 3), White);
}

TEST_F(LookTest, ACheckedCaptionMovesOnePixelRightAndDown) {
    TPixels Up = FaceRaster(40, 24), Down = FaceRaster(40, 24);
    TTextAttr Attr;
    PaintButtonText({0, 0, 39, 23}, Up, {true, false, false, false}, "&Ok", Attr);
    PaintButtonText({0, 0, 39, 23}, Down, {true, true, false, false}, "&Ok", Attr);
    bool Inked = false;
    for (int32_t Y = 0; Y < 23; ++Y)
        for (int32_t X = 0; X < 39; ++X) {
            ASSERT_EQ(At(Up, X, Y), At(Down, X + 1, Y + 1)) << X << "," << Y;
            Inked = Inked || At(Up, X, Y) != Face;
        }
    EXPECT_TRUE(Inked);
}

TEST(StripAccelerator, RemovesMarkersAndKeepsDoubledOnes) {
    EXPECT_EQ(StripAccelerator("&Cut"), "Cut");
    EXPECT_EQ(StripAccelerator("Fish && Chips"), "Fish & Chips");
    EXPECT_EQ(StripAccelerator("End&"), "End");
}

TEST_F(LookTest, ADeepSunkenEdgeShadesTwoRingsAndAnswersTheInside) {
    TPixels Pixels = FaceRaster(8, 8);
    TPixel Black = Bgra(0, 0, 0);
    TRect Inside = PaintEdge({0, 0, 8, 8}, Pixels, 2, TEdgeDepth::Deep, TEdgeKind::Sunken, TEdgeKind::Sunken);
    EXPECT_EQ(Inside, (TRect{2, 2, 6, 6}));
    EXPECT_EQ(At(Pixels, 3, 0), ShadowOp(Black, Face, 96));
    EXPECT_EQ(At(Pixels, 0, 3), ShadowOp(Black, Face, 96));
    EXPECT_EQ(At(Pixels, 3, 7), HighlightOp(Black, Face, 128));
    EXPECT_EQ(At(Pixels, 7, 0), HighlightOp(Black, Face, 128));
    EXPECT_EQ(At(Pixels, 3, 1), ShadowOp(Black, Face, 255));
    EXPECT_EQ(At(Pixels, 3, 6), Face); // inner bottom-right amount 0
    EXPECT_TRUE(UnchangedOutside(Pixels, {0, 0, 8, 8}, Face));
    EXPECT_EQ(At(Pixels, 3, 3), Face);
}

TEST_F(LookTest, AnEdgeOfWidthZeroDrawsNothing) {
    TPixels Pixels = FaceRaster(4, 4);
    EXPECT_EQ(PaintEdge({0, 0, 4, 4}, Pixels, 0, TEdgeDepth::Deep, TEdgeKind::Raised, TEdgeKind::Raised),
              (TRect{0, 0, 4, 4}));
    EXPECT_TRUE(UnchangedOutside(Pixels, {}, Face));
}

TEST_F(LookTest, TitleButtonsDrawOnlyWhenHot) {
    using TPaint = void (*)(TPixels&, int32_t, int32_t, bool, bool);
    for (TPaint Paint : {PaintFloatTitleButton, PaintFloatTitleButtonFrame, PaintDockedTitleButton,
                         PaintDockedTitleButtonFrame}) {
        TPixels Pixels = FaceRaster(6, 6);
        Paint(Pixels, 6, 6, false, true);
        EXPECT_TRUE(UnchangedOutside(Pixels, {}, Face));
        Paint(Pixels, 6, 6, true, false);
        EXPECT_FALSE(UnchangedOutside(Pixels, {}, Face));
    }
}

TEST_F(LookTest, ADockedTitleFrameLightsTopAndLeftMoreAndLeavesCorners) {
    TPixels Pixels = FaceRaster(6, 6);
    PaintDockedTitleButtonFrame(Pixels, 6, 6, true, false);
    TPixel W = ColorToPixel(MakeColor(255, 255, 255));
    EXPECT_EQ(At(Pixels, 2, 0), HighlightOp(W, Face, 64));
    EXPECT_EQ(At(Pixels, 0, 2), HighlightOp(W, Face, 64));
    EXPECT_EQ(At(Pixels, 2, 5), HighlightOp(W, Face, 32));
    EXPECT_EQ(At(Pixels, 0, 0), Face);
    EXPECT_EQ(At(Pixels, 2, 2), Face);
}

} // namespace

namespace {

// How far a window-style painter moved a white pixel, summed over channels.
int32_t WindowLookChange(void (*Paint)(const TRect&, TPixels&, const TButtonState&), TButtonState State) {
    TPixels Pixels(3, 3);
    Pixels.FillAll(MakeColor(255, 255, 255));
    Paint({0, 0, 3, 3}, Pixels, State);
    TPixel Pixel = Pixels.GetPixel(0, 0);
    return 3 * 255 - int32_t(Pixel & 0xFF) - int32_t((Pixel >> 8) & 0xFF) - int32_t((Pixel >> 16) & 0xFF);
}

TEST_F(LookTest, WindowButtonLooksGrowStrongerFromDisabledToRestingToHotToPressed) {
    for (auto Paint : {&PaintWindowButtonBackground, &PaintWindowButtonFrame}) {
        int32_t Disabled = WindowLookChange(Paint, {.Enabled = false});
        int32_t Resting = WindowLookChange(Paint, {});
        int32_t Hot = WindowLookChange(Paint, {.IsHot = true});
        int32_t Pressed = WindowLookChange(Paint, {.IsDown = true, .IsHot = true});
        EXPECT_LT(Disabled, Resting);
        EXPECT_LT(Resting, Hot);
        EXPECT_LT(Hot, Pressed);
        EXPECT_LT(Disabled, WindowLookChange(Paint, {.Enabled = false, .Checked = true}));
    }
    // Pressed while hot, the background is the selection colour itself.
    TPixels Pixels(2, 2);
    Pixels.FillAll(MakeColor(255, 255, 255));
    PaintWindowButtonBackground({0, 0, 2, 2}, Pixels, {.IsDown = true, .IsHot = true});
    TPixels Expected(1, 1);
    Expected.FillAll(AlphaColor(SystemColors().Highlight, 255));
    EXPECT_EQ(Pixels.GetPixel(1, 1), Expected.GetPixel(0, 0));
}

} // namespace

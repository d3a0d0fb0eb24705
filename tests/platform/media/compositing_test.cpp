#include "platform/media/compositing.h"

#include "platform/media/video_frame.h"

#include <gtest/gtest.h>

namespace {

TVideoFrame Solid(TColor Color) {
    TVideoFrame Frame(4, 3);
    Frame.Fill(Color);
    return Frame;
}

TEST(Compositing, OpaqueTopCoversAndTransparentTopLeavesTheBottom) {
    TVideoFrame Bottom = Solid(MakeColor(10, 20, 30));
    AlphaOver(Solid(MakeColor(0, 0, 0, 0)), Bottom);
    EXPECT_EQ(Bottom.Pixel(1, 1), MakeColor(10, 20, 30));
    AlphaOver(Solid(MakeColor(200, 100, 50)), Bottom);
    EXPECT_EQ(Bottom.Pixel(3, 2), MakeColor(200, 100, 50));
}

TEST(Compositing, HalfTransparentTopBlendsByItsAlpha) {
    TVideoFrame Bottom = Solid(MakeColor(0, 0, 200));
    AlphaOver(Solid(MakeColor(200, 0, 0, 128)), Bottom);
    TColor P = Bottom.Pixel(0, 0);
    EXPECT_NEAR(int(P & 0xFF), 100, 1);
    EXPECT_NEAR(int((P >> 16) & 0xFF), 100, 1);
    EXPECT_EQ(P >> 24, 255u);
}

TEST(Compositing, TopOverTransparentBottomKeepsItsColourAndAlpha) {
    TVideoFrame Bottom = Solid(0);
    AlphaOver(Solid(MakeColor(90, 60, 30, 100)), Bottom);
    EXPECT_EQ(Bottom.Pixel(2, 1), MakeColor(90, 60, 30, 100));
}

TEST(Compositing, FlatteningLaysThePictureOverBlack) {
    TVideoFrame Frame = Solid(MakeColor(200, 100, 255, 51));
    FlattenOverBlack(Frame);
    EXPECT_EQ(Frame.Pixel(0, 0), MakeColor(40, 20, 51, 255));
}

TEST(Compositing, CrossFadeMovesFromAToB) {
    TVideoFrame A = Solid(MakeColor(0, 0, 0)), B = Solid(MakeColor(200, 100, 0)), Out;
    CrossFade(A, B, 0, Out);
    EXPECT_EQ(Out.Pixel(0, 0), A.Pixel(0, 0));
    CrossFade(A, B, 1, Out);
    EXPECT_EQ(Out.Pixel(0, 0), B.Pixel(0, 0));
    CrossFade(A, B, 0.5, Out);
    EXPECT_EQ(Out.Pixel(0, 0), MakeColor(100, 50, 0));
}

} // namespace

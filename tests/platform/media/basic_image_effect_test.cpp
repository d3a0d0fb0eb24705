// The basic image transform: mirror, quarter turns and grey, alone and
// together, with booleans in each of their spellings.

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

std::unique_ptr<TVideoEffectComponent> MakeImage(TPropertySetter Values) {
    return MakeVideoEffect(TransformClassIds::BasicImage(), std::move(Values));
}

TEST(BasicImageEffect, MirrorExchangesLeftAndRight) {
    for (const char* Yes : {"True", "true", "1", "-1", "TRUE"}) {
        auto Effect = MakeImage(Properties({{"Mirror", Yes}}));
        TVideoFrame In = Numbered(7), Out = Applied(*Effect, At(0), In);
        EXPECT_EQ(Out.Pixel(0, 5), In.Pixel(Width - 1, 5)) << Yes;
        EXPECT_EQ(Out.Pixel(Width - 1, 40), In.Pixel(0, 40)) << Yes;
        EXPECT_EQ(Out.Pixel(10, 5), In.Pixel(Width - 11, 5)) << Yes;
    }
}

TEST(BasicImageEffect, FalseOrMissingValuesLeaveThePictureAlone) {
    TVideoFrame In = Numbered(7);
    for (const char* No : {"False", "false", "0"}) {
        auto Effect = MakeImage(Properties({{"Mirror", No}, {"Grayscale", No}, {"Rotation", "0"}}));
        TVideoFrame Out = Applied(*Effect, At(0), In);
        EXPECT_EQ(Out.Pixel(3, 4), In.Pixel(3, 4)) << No;
        EXPECT_EQ(Out.Pixel(60, 40), In.Pixel(60, 40)) << No;
    }
    auto Empty = MakeImage({});
    EXPECT_EQ(Applied(*Empty, At(0), In).Pixel(3, 4), In.Pixel(3, 4));
}

TEST(BasicImageEffect, RotationTwoTurnsThePictureUpsideDown) {
    auto Effect = MakeImage(Properties({{"Rotation", "2"}}));
    TVideoFrame In = Numbered(7), Out = Applied(*Effect, At(0), In);
    EXPECT_EQ(Out.Pixel(0, 0), In.Pixel(Width - 1, Height - 1));
    EXPECT_EQ(Out.Pixel(10, 5), In.Pixel(Width - 11, Height - 6));
    // Six quarter turns are the same half turn.
    auto Six = MakeImage(Properties({{"Rotation", "6"}}));
    EXPECT_EQ(Applied(*Six, At(0), In).Pixel(10, 5), Out.Pixel(10, 5));
}

TEST(BasicImageEffect, QuarterTurnFitsTheTurnedPictureIntoTheFrame) {
    // A 64 x 48 picture turned is 48 x 64; fitted it is 36 x 48 in the
    // middle, transparent at the sides.
    TVideoFrame In = Solid(MakeColor(0, 0, 255));
    for (int32_t X = 0; X < Width; ++X)
        for (int32_t Y = 0; Y < 4; ++Y)
            In.SetPixel(X, Y, MakeColor(255, 0, 0)); // the top edge red
    auto Clockwise = MakeImage(Properties({{"Rotation", "1"}}));
    TVideoFrame Out = Applied(*Clockwise, At(0), In);
    EXPECT_EQ(Alpha(Out.Pixel(13, 20)), 0);
    EXPECT_EQ(Alpha(Out.Pixel(50, 20)), 0);
    EXPECT_EQ(Out.Pixel(32, 20), MakeColor(0, 0, 255));
    // Turned clockwise the top edge is on the right of the fitted picture.
    EXPECT_EQ(Out.Pixel(49, 20), MakeColor(255, 0, 0));
    EXPECT_EQ(Out.Pixel(14, 20), MakeColor(0, 0, 255));
    auto Anticlockwise = MakeImage(Properties({{"Rotation", "3"}}));
    TVideoFrame Back = Applied(*Anticlockwise, At(0), In);
    EXPECT_EQ(Back.Pixel(14, 20), MakeColor(255, 0, 0));
    EXPECT_EQ(Back.Pixel(49, 20), MakeColor(0, 0, 255));
    EXPECT_EQ(Alpha(Back.Pixel(2, 20)), 0);
}

TEST(BasicImageEffect, GrayscaleUsesTheLumaAndKeepsAlpha) {
    auto Effect = MakeImage(Properties({{"Grayscale", "-1"}}));
    TVideoFrame Out = Applied(*Effect, At(0), Solid(MakeColor(100, 150, 200, 90)));
    // 0.299 R + 0.587 G + 0.114 B in 8-bit weights 77, 150, 29.
    uint8_t Grey = uint8_t((100 * 77 + 150 * 150 + 200 * 29 + 128) / 256);
    EXPECT_EQ(Out.Pixel(5, 5), MakeColor(Grey, Grey, Grey, 90));
}

TEST(BasicImageEffect, ValuesMayChangeThroughKeys) {
    TPropertySetter Values;
    Values.AddValue("Mirror", 0, "False");
    Values.AddValue("Mirror", Second / 2, "True");
    auto Effect = MakeImage(std::move(Values));
    TVideoFrame In = Numbered(7);
    EXPECT_EQ(Applied(*Effect, At(0.25), In).Pixel(0, 0), In.Pixel(0, 0));
    EXPECT_EQ(Applied(*Effect, At(0.75), In).Pixel(0, 0), In.Pixel(Width - 1, 0));
}

} // namespace

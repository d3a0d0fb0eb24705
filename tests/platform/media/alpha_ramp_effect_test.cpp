// The alpha ramp scales the picture's opacity, also along its key values.

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

TEST(AlphaRampEffect, HalfMakesThePictureHalfTransparent) {
    auto Effect =
        MakeVideoEffect(TransformClassIds::AlphaRamp(), Properties({{"AlphaRamp", "0.5"}}));
    TVideoFrame Out = Applied(*Effect, At(0.3), Solid(MakeColor(10, 20, 30, 255)));
    EXPECT_EQ(Out.Pixel(1, 1), MakeColor(10, 20, 30, 128));
    TVideoFrame Translucent = Applied(*Effect, At(0.3), Solid(MakeColor(10, 20, 30, 100)));
    EXPECT_EQ(Alpha(Translucent.Pixel(1, 1)), 50);
}

TEST(AlphaRampEffect, KeysFadeThePictureIn) {
    TPropertySetter Values;
    Values.AddValue("alpharamp", 0, "0");
    Values.AddValue("alpharamp", Second, "1", TKeyBlend::Interpolate);
    auto Effect = MakeVideoEffect(TransformClassIds::AlphaRamp(), std::move(Values));
    TVideoFrame Opaque = Solid(MakeColor(10, 20, 30));
    EXPECT_EQ(Alpha(Applied(*Effect, At(0), Opaque).Pixel(0, 0)), 0);
    EXPECT_NEAR(Alpha(Applied(*Effect, At(0.5), Opaque).Pixel(0, 0)), 128, 1);
    EXPECT_EQ(Alpha(Applied(*Effect, At(1), Opaque).Pixel(0, 0)), 255);
}

TEST(AlphaRampEffect, ValuesOutsideZeroToOneAreClamped) {
    TVideoFrame Opaque = Solid(MakeColor(10, 20, 30, 200));
    auto Above = MakeVideoEffect(TransformClassIds::AlphaRamp(), Properties({{"AlphaRamp", "3"}}));
    EXPECT_EQ(Alpha(Applied(*Above, At(0), Opaque).Pixel(0, 0)), 200);
    auto Below = MakeVideoEffect(TransformClassIds::AlphaRamp(), Properties({{"AlphaRamp", "-1"}}));
    EXPECT_EQ(Alpha(Applied(*Below, At(0), Opaque).Pixel(0, 0)), 0);
}

} // namespace

// Fading to and from a colour: the colours move towards "color" by
// "Progress"; alpha stays.

#include "transform_test_support.h"

#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

uint8_t Mix(uint8_t From, uint8_t To, double Weight) {
    return uint8_t(std::lround(From + (To - From) * Weight));
}

TEST(ColourFadeEffect, HalfWayToTheDefaultWhite) {
    auto Effect =
        MakeVideoEffect(TransformClassIds::ColourFade(), Properties({{"Progress", "0.5"}}));
    TColor Out = Applied(*Effect, At(0), Solid(MakeColor(100, 0, 200, 77))).Pixel(3, 3);
    EXPECT_NEAR(Red(Out), Mix(100, 255, 0.5), 1);
    EXPECT_NEAR(Green(Out), Mix(0, 255, 0.5), 1);
    EXPECT_NEAR(Blue(Out), Mix(200, 255, 0.5), 1);
    EXPECT_EQ(Alpha(Out), 77);
}

TEST(ColourFadeEffect, ColourIsAnIntegerWithRedInTheLowByte) {
    TVideoFrame Grey = Solid(MakeColor(100, 100, 100));
    for (const char* Red255 : {"255", "0xFF", "$FF", "-16777216"}) {
        // -16777216 is 0xFF000000: black with the unused top byte set.
        bool IsBlack = std::string(Red255) == "-16777216";
        auto Effect = MakeVideoEffect(TransformClassIds::ColourFade(),
                                      Properties({{"Progress", "1"}, {"color", Red255}}));
        EXPECT_EQ(Applied(*Effect, At(0), Grey).Pixel(0, 0),
                  IsBlack ? MakeColor(0, 0, 0) : MakeColor(255, 0, 0))
            << Red255;
    }
}

TEST(ColourFadeEffect, KeysFadeInFromTheColourAtTheStart) {
    TPropertySetter Values = Properties({{"color", "0"}});
    Values.AddValue("Progress", 0, "1");
    Values.AddValue("Progress", Second, "0", TKeyBlend::Interpolate);
    auto Effect = MakeVideoEffect(TransformClassIds::ColourFade(), std::move(Values));
    TVideoFrame Picture = Solid(MakeColor(200, 100, 40));
    EXPECT_EQ(Applied(*Effect, At(0), Picture).Pixel(0, 0), MakeColor(0, 0, 0));
    TColor Middle = Applied(*Effect, At(0.75), Picture).Pixel(0, 0);
    EXPECT_NEAR(Red(Middle), 150, 1);
    EXPECT_NEAR(Green(Middle), 75, 1);
    EXPECT_NEAR(Blue(Middle), 30, 1);
    EXPECT_EQ(Applied(*Effect, At(1), Picture).Pixel(0, 0), MakeColor(200, 100, 40));
}

} // namespace

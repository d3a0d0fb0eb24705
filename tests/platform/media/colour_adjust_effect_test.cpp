// Colour adjustment with the pixel arithmetic it documents: brightness adds,
// contrast scales around 128, gamma bends, saturation scales around the luma.

#include "transform_test_support.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace TransformTest;

const TColor Sample = MakeColor(100, 150, 200, 60);

TColor Adjusted(TPropertySetter Values, TColor Color = Sample, double Share = 0) {
    auto Effect = MakeVideoEffect(TransformClassIds::ColourAdjust(), std::move(Values));
    return Applied(*Effect, At(Share), Solid(Color)).Pixel(4, 4);
}

double Clamp(double V) {
    return std::clamp(V, 0.0, 255.0);
}

void ExpectChannels(TColor Actual, double R, double G, double B, double Tolerance = 1) {
    EXPECT_NEAR(Red(Actual), Clamp(R), Tolerance);
    EXPECT_NEAR(Green(Actual), Clamp(G), Tolerance);
    EXPECT_NEAR(Blue(Actual), Clamp(B), Tolerance);
    EXPECT_EQ(Alpha(Actual), Alpha(Sample));
}

TEST(ColourAdjustEffect, BrightnessAddsToEveryChannel) {
    ExpectChannels(Adjusted(Properties({{"brightness", "32"}})), 132, 182, 232, 0);
    ExpectChannels(Adjusted(Properties({{"Brightness", "-128"}})), 0, 22, 72, 0);
    ExpectChannels(Adjusted(Properties({{"brightness", "128"}})), 228, 255, 255, 0);
}

TEST(ColourAdjustEffect, ContrastScalesTheDistanceFromMiddleGrey) {
    // (128 + 64) / 128 = 1.5 times as far from 128.
    ExpectChannels(Adjusted(Properties({{"contrast", "64"}})), 86, 161, 236, 0);
    ExpectChannels(Adjusted(Properties({{"contrast", "-64"}})), 114, 139, 164, 0);
    ExpectChannels(Adjusted(Properties({{"contrast", "-128"}})), 128, 128, 128, 0);
}

TEST(ColourAdjustEffect, SaturationScalesTheDistanceFromTheLuma) {
    double Luma = 0.299 * 100 + 0.587 * 150 + 0.114 * 200;
    ExpectChannels(Adjusted(Properties({{"saturation", "-128"}})), Luma, Luma, Luma);
    auto More = [&](double C) { return Luma + (C - Luma) * 1.5; };
    ExpectChannels(Adjusted(Properties({{"saturation", "64"}})), More(100), More(150), More(200));
    // Grey has nothing to saturate.
    EXPECT_EQ(Adjusted(Properties({{"saturation", "100"}}), MakeColor(90, 90, 90)),
              MakeColor(90, 90, 90));
}

TEST(ColourAdjustEffect, GammaAboveOneLightensTheShadows) {
    auto Gamma = [](double C, double G) { return 255 * std::pow(C / 255, 1 / G); };
    ExpectChannels(Adjusted(Properties({{"gamma", "2.0"}})), Gamma(100, 2), Gamma(150, 2),
                   Gamma(200, 2));
    ExpectChannels(Adjusted(Properties({{"gamma", "0.5"}})), Gamma(100, 0.5), Gamma(150, 0.5),
                   Gamma(200, 0.5));
    ExpectChannels(Adjusted(Properties({{"gamma", "1"}})), 100, 150, 200, 0);
    // A gamma of 0 means nothing and leaves the picture alone.
    ExpectChannels(Adjusted(Properties({{"gamma", "0"}})), 100, 150, 200, 0);
}

TEST(ColourAdjustEffect, StepsApplyInTheirOrder) {
    // Brightness first, then contrast, then gamma, then saturation.
    TPropertySetter Values = Properties(
        {{"brightness", "-20"}, {"contrast", "32"}, {"gamma", "1.5"}, {"saturation", "-64"}});
    auto Channel = [](double C) {
        C = Clamp(C - 20);
        C = Clamp(std::round(128 + (C - 128) * 1.25));
        return Clamp(std::round(255 * std::pow(C / 255, 1 / 1.5)));
    };
    double R = Channel(100), G = Channel(150), B = Channel(200);
    double Luma = std::round(0.299 * R + 0.587 * G + 0.114 * B);
    auto Less = [&](double C) { return Luma + (C - Luma) * 0.5; };
    ExpectChannels(Adjusted(std::move(Values)), Less(R), Less(G), Less(B));
}

TEST(ColourAdjustEffect, ValuesFollowTheirKeys) {
    TPropertySetter Values;
    Values.AddValue("brightness", 0, "0");
    Values.AddValue("brightness", Second, "100", TKeyBlend::Interpolate);
    ExpectChannels(Adjusted(Values, Sample, 0), 100, 150, 200, 0);
    ExpectChannels(Adjusted(Values, Sample, 0.5), 150, 200, 250, 0);
    ExpectChannels(Adjusted(Values, Sample, 1), 200, 250, 255, 0);
}

TEST(ColourAdjustEffect, NoValuesLeaveThePictureAlone) {
    EXPECT_EQ(Adjusted({}), Sample);
}

} // namespace

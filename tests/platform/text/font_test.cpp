// Font lookup through fontconfig: the names titles and the toolkit use
// resolve to installed faces, styles pick or synthesise the right face.

#include "platform/text/font.h"

#include <gtest/gtest.h>

TEST(Font, ArialResolvesToItsMetricCompatibleFace) {
    TFont Font({"Arial", 20});
    EXPECT_EQ(Font.FamilyName(), "Liberation Sans");
    EXPECT_FALSE(Font.IsSyntheticBold());
    EXPECT_FALSE(Font.IsSyntheticItalic());
}

TEST(Font, BoldAndItalicPickTheFamilysOwnFaces) {
    TFont Regular({"Arial", 20});
    TFont BoldItalic({.Family = "Arial", .PixelSize = 20, .Bold = true, .Italic = true});
    EXPECT_EQ(BoldItalic.FamilyName(), "Liberation Sans");
    EXPECT_NE(BoldItalic.FileName(), Regular.FileName());
    EXPECT_FALSE(BoldItalic.IsSyntheticBold());
    EXPECT_FALSE(BoldItalic.IsSyntheticItalic());
}

TEST(Font, UnknownFamilyFallsBackToAnInstalledFace) {
    TFont Font({"No Such Family Anywhere", 16});
    EXPECT_FALSE(Font.FamilyName().empty());
    EXPECT_FALSE(Font.FileName().empty());
    EXPECT_TRUE(Font.HasGlyph(U'A'));
}

TEST(Font, MetricsGrowWithTheSize) {
    TFont Small({"Arial", 10});
    TFont Large = Small.WithPixelSize(40);
    EXPECT_EQ(Large.FamilyName(), Small.FamilyName());
    EXPECT_NEAR(Large.Metrics().Ascent, Small.Metrics().Ascent * 4, 0.5);
    EXPECT_NEAR(Large.Metrics().LineHeight, Small.Metrics().LineHeight * 4, 0.5);
    EXPECT_GT(Small.Metrics().Ascent, 5);
    EXPECT_LT(Small.Metrics().Ascent, 12);
    EXPECT_GE(Small.Metrics().LineHeight, Small.Metrics().Ascent + Small.Metrics().Descent);
    EXPECT_GE(Small.Metrics().UnderlineThickness, 1);
}

TEST(Font, SizesOutOfRangeAreClampedRatherThanRejected) {
    TFont Tiny({"Arial", 0});
    TFont Huge({"Arial", 1e9});
    EXPECT_GE(Tiny.Request().PixelSize, 1);
    EXPECT_LE(Huge.Request().PixelSize, 4096);
}

TEST(Font, LatinFaceCoversGreekAndCyrillic) {
    TFont Font({"Arial", 16});
    EXPECT_TRUE(Font.HasGlyph(U'Ω'));
    EXPECT_TRUE(Font.HasGlyph(U'Ж'));
    EXPECT_FALSE(Font.HasGlyph(U'\uE000')); // private use: no face has it
}

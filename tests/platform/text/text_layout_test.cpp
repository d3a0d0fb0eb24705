// Shaping and line layout: lines, alignment, wrapping, fallback faces and
// text that is not well-formed.

#include "platform/text/text_layout.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

TFont Arial(double Size = 20) {
    return TFont({"Arial", Size});
}

} // namespace

TEST(TextLayout, LineBreaksPutLinesOneUnderAnother) {
    TFont Font = Arial();
    for (const char* Text : {"One\nTwo\nThree", "One\r\nTwo\r\nThree", "One\rTwo\rThree"}) {
        TTextLayout Layout(Font, Text);
        ASSERT_EQ(Layout.Lines().size(), 3u) << Text;
        double Step = Font.Metrics().LineHeight;
        for (size_t I = 0; I < 3; ++I) {
            EXPECT_NEAR(Layout.Lines()[I].Baseline, Font.Metrics().Ascent + Step * double(I), 1e-9);
            EXPECT_GT(Layout.Lines()[I].GlyphCount, 2u);
        }
        EXPECT_NEAR(Layout.Height(), 2 * Step + Font.Metrics().LineHeight, 1e-9);
        // Each glyph sits on its own line's baseline.
        for (const auto& Glyph : Layout.Glyphs())
            EXPECT_DOUBLE_EQ(Glyph.Y, Layout.Lines()[size_t(Glyph.Line)].Baseline);
    }
}

TEST(TextLayout, LineSpacingWidensTheBaselineDistance) {
    TFont Font = Arial();
    TTextLayoutOptions Options;
    Options.LineSpacing = 2;
    TTextLayout Layout(Font, "A\nB", Options);
    ASSERT_EQ(Layout.Lines().size(), 2u);
    EXPECT_NEAR(Layout.Lines()[1].Baseline - Layout.Lines()[0].Baseline,
                2 * Font.Metrics().LineHeight, 1e-9);
}

TEST(TextLayout, WidthGrowsWithTheTextAndTrailingBlanksDoNotCount) {
    TFont Font = Arial();
    TTextLayout Short(Font, "Title");
    TTextLayout Long(Font, "Title Title");
    TTextLayout Blanks(Font, "Title   ");
    EXPECT_GT(Short.Width(), 20);
    EXPECT_GT(Long.Width(), Short.Width() * 2);
    EXPECT_DOUBLE_EQ(Blanks.Width(), Short.Width());
    TTextExtent Extent = MeasureText(Font, "Title");
    EXPECT_DOUBLE_EQ(Extent.Width, Short.Width());
    EXPECT_DOUBLE_EQ(Extent.Height, Font.Metrics().LineHeight);
}

TEST(TextLayout, AlignmentPlacesShortLinesInTheBox) {
    TFont Font = Arial();
    TTextLayoutOptions Centre{TTextAlign::Center};
    TTextLayoutOptions Right{TTextAlign::Right};
    TTextLayout Centred(Font, "A much longer line\nshort", Centre);
    TTextLayout RightAligned(Font, "A much longer line\nshort", Right);
    TTextLayout LeftAligned(Font, "A much longer line\nshort");
    const TTextLine& Wide = Centred.Lines()[0];
    const TTextLine& Narrow = Centred.Lines()[1];
    EXPECT_DOUBLE_EQ(Wide.Left, 0);
    EXPECT_NEAR(Narrow.Left, (Centred.Width() - Narrow.Width) / 2, 1e-9);
    EXPECT_NEAR(RightAligned.Lines()[1].Left + RightAligned.Lines()[1].Width, RightAligned.Width(),
                1e-9);
    EXPECT_DOUBLE_EQ(LeftAligned.Lines()[1].Left, 0);
}

TEST(TextLayout, LongLinesWrapAtBlanksWithinTheWidth) {
    TFont Font = Arial();
    TTextLayoutOptions Options;
    Options.MaxWidth = MeasureText(Font, "word word").Width + 1;
    TTextLayout Layout(Font, "word word word word word", Options);
    ASSERT_EQ(Layout.Lines().size(), 3u);
    for (const auto& Line : Layout.Lines())
        EXPECT_LE(Line.Width, Options.MaxWidth);
    EXPECT_NEAR(Layout.Lines()[0].Width, MeasureText(Font, "word word").Width, 1e-6);
    EXPECT_NEAR(Layout.Lines()[2].Width, MeasureText(Font, "word").Width, 1e-6);
}

TEST(TextLayout, AWordLongerThanTheWidthBreaksBetweenCharacters) {
    TFont Font = Arial();
    TTextLayoutOptions Options;
    Options.MaxWidth = MeasureText(Font, "WWW").Width + 0.5;
    TTextLayout Layout(Font, "WWWWWWWWW", Options);
    ASSERT_EQ(Layout.Lines().size(), 3u);
    for (const auto& Line : Layout.Lines())
        EXPECT_EQ(Line.GlyphCount, 3u);
}

TEST(TextLayout, EmptyTextHasNoLines) {
    TTextLayout Layout(Arial(), "");
    EXPECT_TRUE(Layout.IsEmpty());
    EXPECT_TRUE(Layout.Lines().empty());
    EXPECT_EQ(Layout.Width(), 0);
    EXPECT_EQ(Layout.Height(), 0);
}

TEST(TextLayout, GreekAndCyrillicShapeToRealGlyphs) {
    TTextLayout Layout(Arial(), "Καλημέρα Здравствуйте");
    ASSERT_EQ(Layout.Glyphs().size(), 21u);
    for (const auto& Glyph : Layout.Glyphs()) {
        EXPECT_NE(Glyph.GlyphId, 0u) << "cluster " << Glyph.Cluster;
        EXPECT_EQ(Glyph.Face, 0); // the Latin face covers both scripts
    }
}

TEST(TextLayout, CharactersTheFaceLacksComeFromAFallbackFace) {
    TFont Font = Arial();
    ASSERT_FALSE(Font.HasGlyph(U'☃'));
    TTextLayout Layout(Font, "A☃B");
    ASSERT_EQ(Layout.Glyphs().size(), 3u);
    EXPECT_EQ(Layout.Glyphs()[0].Face, 0);
    EXPECT_NE(Layout.Glyphs()[1].Face, 0);
    EXPECT_NE(Layout.Glyphs()[1].GlyphId, 0u);
    EXPECT_EQ(Layout.Glyphs()[2].Face, 0);
    // Pens move on from glyph to glyph whatever face drew them.
    EXPECT_LT(Layout.Glyphs()[0].X, Layout.Glyphs()[1].X);
    EXPECT_LT(Layout.Glyphs()[1].X, Layout.Glyphs()[2].X);
}

TEST(TextLayout, CharacterNoFaceHasShowsTheNotdefGlyph) {
    TTextLayout Layout(Arial(), "\uE000");
    ASSERT_EQ(Layout.Glyphs().size(), 1u);
    EXPECT_EQ(Layout.Glyphs()[0].GlyphId, 0u);
    EXPECT_GT(Layout.Glyphs()[0].Advance, 0);
}

TEST(TextLayout, MalformedUtf8IsReplacedAndTheRestStillShows) {
    TTextLayout Layout(Arial(), std::string("ab\xFF\xC0zc", 6));
    EXPECT_EQ(Layout.Text(), "ab\xEF\xBF\xBD\xEF\xBF\xBDzc");
    ASSERT_EQ(Layout.Glyphs().size(), 6u);
    EXPECT_NE(Layout.Glyphs()[0].GlyphId, 0u);
    EXPECT_NE(Layout.Glyphs()[5].GlyphId, 0u);
}

TEST(TextLayout, RightToLeftLineRunsFromTheRight) {
    // Hebrew "shalom": the first letter in reading order is the rightmost.
    TTextLayout Layout(Arial(), "שלום");
    ASSERT_EQ(Layout.Glyphs().size(), 4u);
    const auto& Glyphs = Layout.Glyphs();
    auto First = std::find_if(Glyphs.begin(), Glyphs.end(),
                              [](const TLayoutGlyph& G) { return G.Cluster == 0; });
    ASSERT_NE(First, Glyphs.end());
    for (const auto& Glyph : Glyphs)
        EXPECT_LE(Glyph.X, First->X);
}

TEST(TextLayout, ClustersPointIntoTheText) {
    TTextLayout Layout(Arial(), "aé\nb");
    ASSERT_EQ(Layout.Glyphs().size(), 3u);
    EXPECT_EQ(Layout.Glyphs()[0].Cluster, 0u);
    EXPECT_EQ(Layout.Glyphs()[1].Cluster, 1u);
    EXPECT_EQ(Layout.Glyphs()[2].Cluster, 4u);
    EXPECT_EQ(Layout.Glyphs()[2].Line, 1);
}
